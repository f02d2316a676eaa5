local n = 4500000
local flags = {}
for i = 0, n do flags[i] = false end
for i = 2, n do flags[i] = true end
local i = 2
while i * i <= n do
  if flags[i] then
    for j = i * i, n, i do flags[j] = false end
  end
  i = i + 1
end
local count = 0
for i = 2, n do
  if flags[i] then count = count + 1 end
end
print(count)

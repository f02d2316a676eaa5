local n = 140000
local a = {}
local seed = 12345
for i = 0, n - 1 do
  seed = (seed * 1103 + 12345) % 65536
  a[i] = seed
end
local gap = n // 2
while gap > 0 do
  for i = gap, n - 1 do
    local t = a[i]
    local j = i
    while j >= gap do
      if a[j - gap] <= t then break end
      a[j] = a[j - gap]
      j = j - gap
    end
    a[j] = t
  end
  gap = gap // 2
end
print(a[0] .. " " .. a[n // 2] .. " " .. a[n - 1])

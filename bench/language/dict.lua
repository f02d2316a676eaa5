-- Dictionary insert, lookup and remove with string keys.
local n = 650000
local d, count = {}, 0
for i = 1, n do d["k" .. i] = i; count = count + 1 end
local hits = 0
for i = 1, 2 * n do
  if d["k" .. i] ~= nil then hits = hits + d["k" .. i] end
end
for i = 1, n, 2 do d["k" .. i] = nil; count = count - 1 end
print(count .. " " .. hits)

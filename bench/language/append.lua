-- Building a text and an array a piece at a time (the text through a table of parts).
local parts, a = {}, {[0] = false}
local n = 0
for i = 1, 3500000 do
  parts[#parts + 1] = i .. ","
  if i % 3 == 0 then n = n + 1; a[n] = i end
end
local s = table.concat(parts)
print(#s .. " " .. n .. " " .. a[n])

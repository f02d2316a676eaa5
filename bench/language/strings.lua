local total, hits = 0, 0
for i = 1, 1400000 do
  local s = "item" .. i .. "-" .. (i * 2)
  total = total + #s
  if string.find(s, "99", 1, true) then hits = hits + 1 end
  s = string.upper(string.sub(s, 2, 4)) .. string.sub(s, -2)
  if s == "TEM00" then hits = hits + 1 end
end
print(total .. " " .. hits)

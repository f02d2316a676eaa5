local total = 0
for i = 1, 11000000 do
  if i % 3 == 0 then
    total = total + i
  elseif i % 5 == 0 then
    total = total - 1
  end
end
print(total)

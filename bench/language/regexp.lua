-- A pattern over a text: matches, captures and substitution (Lua patterns; %w matches the
-- same characters as \w on this text, which has no underscores).
local parts = {}
for i = 0, 199 do
  parts[#parts + 1] = "user" .. i .. "@host" .. (i % 7) .. ".com and some words between, "
end
local text = table.concat(parts)
local pat = "(%w+)@(%w+)%.com"
local count, total = 0, 0
for i = 1, 1400 do
  for user, host in string.gmatch(text, pat) do
    count = count + 1
    total = total + #host
  end
  total = total + #(string.gsub(text, pat, "%2"))
end
print(count .. " " .. total)

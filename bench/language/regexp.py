# A global regular expression over a text: matches, groups and substitution.
import re
parts = []
for i in range(200):
    parts.append("user" + str(i) + "@host" + str(i % 7) + ".com and some words between, ")
text = "".join(parts)
rx = re.compile(r"(\w+)@(\w+)\.com")
count = 0
total = 0
for i in range(1400):
    for m in rx.finditer(text):
        count = count + 1
        total = total + len(m.group(2))
    total = total + len(rx.sub(r"\2", text))
print(count, total)

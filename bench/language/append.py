# Building a text and a list a piece at a time (the text through a list of parts, the way
# Python programs build long strings).
parts = []
a = [None]
for i in range(1, 3500001):
    parts.append(str(i) + ",")
    if i % 3 == 0:
        a.append(i)
s = "".join(parts)
print(len(s), len(a) - 1, a[-1])

total = 0
hits = 0
for i in range(1, 1400001):
    s = "item" + str(i) + "-" + str(i * 2)
    total = total + len(s)
    if s.find("99") >= 0:
        hits = hits + 1
    s = s[1:4].upper() + s[-2:]
    if s == "TEM00":
        hits = hits + 1
print(total, hits)

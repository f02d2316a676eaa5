# Dictionary insert, lookup and remove with string keys.
n = 650000
d = {}
for i in range(1, n + 1):
    d["k" + str(i)] = i
hits = 0
for i in range(1, 2 * n + 1):
    if ("k" + str(i)) in d:
        hits = hits + d["k" + str(i)]
for i in range(1, n + 1, 2):
    del d["k" + str(i)]
print(len(d), hits)

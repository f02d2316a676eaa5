n = 4500000
flags = [False] * (n + 1)
for i in range(2, n + 1):
    flags[i] = True
i = 2
while i * i <= n:
    if flags[i]:
        for j in range(i * i, n + 1, i):
            flags[j] = False
    i = i + 1
count = 0
for i in range(2, n + 1):
    if flags[i]:
        count = count + 1
print(count)

n = 140000
a = [0] * n
seed = 12345
for i in range(n):
    seed = (seed * 1103 + 12345) % 65536
    a[i] = seed
gap = n // 2
while gap > 0:
    for i in range(gap, n):
        t = a[i]
        j = i
        while j >= gap:
            if a[j - gap] <= t:
                break
            a[j] = a[j - gap]
            j = j - gap
        a[j] = t
    gap = gap // 2
print(a[0], a[n // 2], a[n - 1])

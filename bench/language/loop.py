total = 0
for i in range(1, 11000001):
    if i % 3 == 0:
        total = total + i
    elif i % 5 == 0:
        total = total - 1
print(total)

class Account:
    def __init__(self):
        self._balance = 0
    @property
    def balance(self):
        return self._balance
    @balance.setter
    def balance(self, v):
        self._balance = v
    def deposit(self, amount):
        self._balance = self._balance + amount
acc = Account()
for i in range(1, 5000001):
    acc.deposit(2)
    acc.balance = acc.balance - 1
print(acc.balance)

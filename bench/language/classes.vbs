Class Account
  Private balance_
  Private Sub Class_Initialize() : balance_ = 0 : End Sub
  Public Property Get Balance() : Balance = balance_ : End Property
  Public Property Let Balance(v) : balance_ = v : End Property
  Public Sub Deposit(amount) : balance_ = balance_ + amount : End Sub
End Class
Dim acc, i
Set acc = New Account
For i = 1 To 5000000
  acc.Deposit 2
  acc.Balance = acc.Balance - 1
Next
WScript.Echo acc.Balance

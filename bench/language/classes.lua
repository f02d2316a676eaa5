-- Methods and a property (as get/set methods: Lua has no properties).
local Account = {}
Account.__index = Account
function Account.new() return setmetatable({balance_ = 0}, Account) end
function Account:getBalance() return self.balance_ end
function Account:setBalance(v) self.balance_ = v end
function Account:deposit(amount) self.balance_ = self.balance_ + amount end
local acc = Account.new()
for i = 1, 5000000 do
  acc:deposit(2)
  acc:setBalance(acc:getBalance() - 1)
end
print(acc:getBalance())

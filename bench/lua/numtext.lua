-- Number to text: tostr and concatenation coercion of whole numbers and of
-- fractions that both number types print alike (sixteenths).
local tostr = tostr or tostring
local n = 0
for k = 1, 500 do
  for i = 1, 1000 do
    local a = tostr(i * 31 % 30000)
    local b = "" .. (i % 256 + k / 16)
    local c = tostr(-i)
    n = (n + #a + #b + #c) % 9973
  end
end
print(n)

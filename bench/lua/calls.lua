-- Function calls: recursion and calls with several arguments and results.
local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end
local function step(a, b, c)
  return (a + b) % 1000, (b + c) % 1000
end
local s = 0
for k = 1, 200 do s = (s + fib(20)) % 9973 end
local a, b = 1, 2
for k = 1, 300 do
  for i = 1, 10000 do a, b = step(a, b, i) end
end
print(s + a + b)

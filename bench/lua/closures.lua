-- Closures: functions made in a loop that capture locals, called at once
-- and later, and counters that keep state in upvalues.
local function counter()
  local c = 0
  return function(d) c = (c + d) % 1000 return c end
end
local s = 0
for k = 1, 600 do
  local fs = {}
  for i = 1, 1000 do
    local f = function(x) return (x + i + k) % 1000 end
    s = (s + f(s)) % 9973
    fs[i % 10 + 1] = f
  end
  local cnt = counter()
  for i = 1, 3000 do s = (s + cnt(i) + fs[i % 10 + 1](i)) % 9973 end
end
print(s)

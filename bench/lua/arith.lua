-- Arithmetic on whole numbers and exact fractions: + - * / % and
-- comparisons in a tight loop, the way game logic updates positions.
local flr = flr or math.floor
local s, t, x = 0, 1, 0
for k = 1, 6000 do
  for i = 1, 1000 do
    s = (s + i * 3 - k) % 1000
    t = (t * 7 + s) % 997
    if s > t then s = s - t end
    x = flr(x * 0.5 + i / 4) % 512
  end
end
print(s + t + x)

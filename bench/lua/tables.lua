-- Tables: append at the end, scan by index, remove from the end and from
-- the front (shifting down, as a cart's del does), and string-key fields.
local s = 0
for k = 1, 1000 do
  local t = {}
  for i = 1, 2000 do t[#t + 1] = i end
  for i = 1, #t do s = (s + t[i]) % 9973 end
  for i = 1, 1000 do t[#t] = nil end
  for r = 1, 10 do  -- remove the first element: shift the rest down
    local n = #t
    for i = 1, n - 1 do t[i] = t[i + 1] end
    t[n] = nil
  end
  local p = {}
  for i = 1, 500 do
    p.x, p.y, p.name = i, k, "p"
    s = (s + p.x + p.y) % 9973
  end
  s = (s + #t) % 9973
end
print(s)

-- String building by concatenation: s = s .. x in loops with short string
-- pieces (and some numbers), as score and debug lines are built.
local pieces = {"a", "bc", "def", " ", "x=", "hp", ":", "ok"}
local n = 0
for k = 1, 7000 do
  for i = 1, 20 do
    local s = ""
    for j = 1, 24 do s = s .. pieces[(i + j) % 8 + 1] end
    n = (n + #s) % 9973
  end
  for i = 1, 60 do
    local line = "x:" .. pieces[i % 8 + 1] .. " y:" .. k .. " " .. pieces[k % 8 + 1]
    n = (n + #line) % 9973
  end
end
print(n)

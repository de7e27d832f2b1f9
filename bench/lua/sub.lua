-- Substrings: characters picked out one by one, short slices, and the
-- character-to-code and code-to-character lookups carts build with sub.
local sub = sub or string.sub
local chars = " !\"#$%&'()*+,-./0123456789:;<=>?@abcdefghijklmnopqrstuvwxyz[\\]^_`{|}~"
local code, char = {}, {}
for i = 1, #chars do
  local c = sub(chars, i, i)
  code[c], char[i + 31] = i + 31, c
end
local text = "the quick brown fox jumps over the lazy dog 0123456789 times"
local n = 0
for k = 1, 3000 do
for r = 1, 30 do
  for i = 1, #text do
    local c = sub(text, i, i)
    n = (n + code[c]) % 9973
    local back = char[code[c]]
    if back ~= c then assert(false, "lookup") end
  end
  for i = 1, #text - 4, 3 do
    local w = sub(text, i, i + 4)
    n = (n + #w + #sub(w, 2)) % 9973
  end
end
end
print(n)

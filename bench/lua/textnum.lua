-- Text to number: tonum of whole and fractional decimal text, and the
-- coercion of numeric strings in arithmetic (saved data read back).
local tonum = tonum or tonumber
local texts = {}
for i = 1, 200 do texts[i] = "" .. (i * 37 % 5000) end
local fracs = {"0.5", "12.25", "3.75", "100.125", " 42 ", "7.0625"}
local n = 0
for k = 1, 16000 do
  for i = 1, #texts do n = (n + tonum(texts[i])) % 9973 end
  for i = 1, 100 do
    local f = fracs[i % #fracs + 1]
    n = (n + tonum(f) * 16) % 9973
    n = (n + ("5" + i)) % 9973
  end
end
print(n)

-- Joining many short strings kept in a table into one text (the job of a
-- library concat): pieces are joined eight at a time, then the groups.
local words = {}
for i = 1, 64 do words[i] = "w" .. i end
local n = 0
for k = 1, 12000 do
  local parts = {}
  for i = 1, 512 do parts[i] = words[(i + k) % 64 + 1] end
  local groups = {}
  for i = 1, #parts, 8 do
    groups[#groups + 1] = parts[i] .. parts[i + 1] .. parts[i + 2] .. parts[i + 3]
      .. parts[i + 4] .. parts[i + 5] .. parts[i + 6] .. parts[i + 7]
  end
  while #groups > 1 do
    local next = {}
    for i = 1, #groups, 2 do next[#next + 1] = groups[i] .. (groups[i + 1] or "") end
    groups = next
  end
  n = (n + #groups[1]) % 9973
end
print(n)

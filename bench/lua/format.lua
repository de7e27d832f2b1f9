-- Formatted text built by hand (carts have no format function): zero-padded
-- scores, fixed-width fields and labels, as status lines are drawn.
local sub = sub or string.sub
local function pad(v, width)
  local s = "" .. v
  while #s < width do s = "0" .. s end
  return s
end
local function field(label, v)
  return label .. ":" .. sub("     " .. v, -5)
end
local n = 0
for k = 1, 3000 do
  for i = 1, 100 do
    local line = "score " .. pad(i * 7 + k, 6) .. " " .. field("hp", i % 50)
      .. " " .. field("t", (k * i) % 1000 + 0.5)
    n = (n + #line + i) % 9973
  end
end
print(n)

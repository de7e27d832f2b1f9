-- Method calls on objects: a class table with __index, objects made by a
-- constructor, and obj:method() calls that read and write fields.
local Actor = {}
Actor.__index = Actor
function Actor.new(x, y)
  return setmetatable({x = x, y = y, dx = 1, dy = 2, hits = 0}, Actor)
end
function Actor:move()
  self.x = (self.x + self.dx) % 128
  self.y = (self.y + self.dy) % 128
end
function Actor:touches(o)
  return self.x == o.x and self.y == o.y
end
function Actor:hit() self.hits = self.hits + 1 end

local actors = {}
for i = 1, 50 do actors[i] = Actor.new(i, i * 2) end
local player = Actor.new(0, 0)
for frame = 1, 3000 do
for r = 1, 25 do
  player:move()
  for i = 1, #actors do
    local a = actors[i]
    a:move()
    if a:touches(player) then a:hit() end
  end
end
end
local s = 0
for i = 1, #actors do s = s + actors[i].hits + actors[i].x end
print(s)

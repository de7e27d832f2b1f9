-- Coroutines: generators resumed until they end, and many short-lived
-- coroutines, as carts run scripted sequences. The checksum is kept inside
-- the coroutines, so a budget yield in the console (which returns to the
-- resumer early) does not change it.
local cocreate = cocreate or coroutine.create
local coresume = coresume or coroutine.resume
local costatus = costatus or coroutine.status
local yield = yield or coroutine.yield
local state = 0
local function gen(n)
  return cocreate(function()
    for i = 1, n do
      state = (state + i) % 9973
      yield()
    end
  end)
end
for k = 1, 800 do
  local co = gen(2000)
  while costatus(co) ~= "dead" do coresume(co) end
  for i = 1, 200 do
    local c = gen(3)
    while costatus(c) ~= "dead" do coresume(c) end
  end
end
print(state)

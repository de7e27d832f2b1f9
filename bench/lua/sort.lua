-- Sorting: quicksort with a comparison function over arrays of numbers
-- (carts have no library sort, so they carry one like this).
local function qsort(t, lo, hi, less)
  while lo < hi do
    local p = t[(lo + hi - (lo + hi) % 2) / 2]
    local i, j = lo, hi
    while i <= j do
      while less(t[i], p) do i = i + 1 end
      while less(p, t[j]) do j = j - 1 end
      if i <= j then
        t[i], t[j] = t[j], t[i]
        i, j = i + 1, j - 1
      end
    end
    if j - lo < hi - i then
      qsort(t, lo, j, less)
      lo = i
    else
      qsort(t, i, hi, less)
      hi = j
    end
  end
end
local function less(a, b) return a < b end
local s, seed = 0, 1
for k = 1, 180 do
  local t = {}
  for i = 1, 3000 do
    seed = (seed * 13 + 7) % 2503
    t[i] = seed
  end
  qsort(t, 1, #t, less)
  for i = 2, #t do
    if t[i - 1] > t[i] then assert(false, "unsorted") end
  end
  s = (s + t[1] + t[1500] + t[3000]) % 9973
end
print(s)

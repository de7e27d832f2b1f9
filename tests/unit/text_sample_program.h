// A generator of long, varied cartridge programs written with the dialect's
// shorthand forms, used by the preprocessor tests and benchmark.
#pragma once
#include <string>

inline std::string text_sample_block(int i) {
  const std::string n = std::to_string(i);
  switch (i % 9) {
    case 0:
      return "function update_player" + n + "(p)\n"
             "  if (btn(\x8b)) p.x -= 1\n"
             "  if (btn(\x91)) p.x += 1\n"
             "  if (btn(\x94)) then p.y -= 1 end\n"
             "  if (btnp(\x97) or btnp(\x8e)) p.jump = true // jump\n"
             "  p.dx *= 0.9 // friction\n"
             "  p.t = (p.t or 0) + 1\n"
             "  if p.t != 0 and p.t % 30 == 0 then\n"
             "    p.frame += 1\n"
             "  end\n"
             "  return p\n"
             "end\n";
    case 1:
      return "-- draw the enemies of wave " + n + "\n"
             "function draw_wave" + n + "(list)\n"
             "  for e in all(list) do\n"
             "    spr(e.s, e.x, e.y)\n"
             "    ?\"hp:\"..e.hp\n"
             "  end\n"
             "  msg" + n + " = \"score += " + n + " // not a comment != ?\"\n"
             "  print(msg" + n + ", 2, 2, 7)\n"
             "end\n";
    case 2:
      return "--[[ block comment\n"
             "  spanning lines for wave " + n + "\n"
             "]]\n"
             "t" + n + " = {x=1, y=2, name=\"t" + n + "\", tags={\"a\",\"b\"}}\n"
             "t" + n + ".x += t" + n + ".y * 2 z" + n + " = [[long\n"
             "string with += and != inside]]\n";
    case 3:
      return "for j=1," + std::to_string(i % 17 + 1) + " do\n"
             "  v" + n + " = j * " + n + "\n"
             "  if (v" + n + " % 2 == 0) v" + n + " /= 2\n"
             "  if (v" + n + " != 3) total" + n + " = (total" + n + " or 0) + v" + n + "\n"
             "  ? v" + n + "\n"
             "end\n";
    case 4:
      return "count" + n + " = 10 while count" + n + " != 0 do count" + n + " -= 1 end\n"
             "s" + n + " = 'it\\'s' .. \"a\\\\\" x" + n + " = 1 x" + n + " += 2\n";
    case 5:
      return "if a" + n + " then\n"
             "  a" + n + " %= 7\n"
             "elseif (b" + n + ") then\n"
             "  b" + n + " = nil\n"
             "else\n"
             "  c" + n + " = {1, 2, 3} --[[ inline ]] d" + n + " = 4\n"
             "end\n";
    case 6:
      return "obj" + n + " = {v = 0}\n"
             "function obj" + n + ":step(dt) self.v += dt * (self.speed or 1) end\n"
             "grid" + n + " = {} grid" + n + "[1] = {} grid" + n + "[1][2] = 0\n"
             "grid" + n + "[1][2] += #grid" + n + "\n";
    case 7:
      return "-->8\n"
             "-- tab of helpers " + n + "\n"
             "function helper" + n + "(a, b)\n"
             "  local r = a\n"
             "  repeat r -= b until r < b\n"
             "  if (r < 0) r = -r\n"
             "  return r, a != b\n"
             "end\n";
    default:
      return "function _draw" + n + "()\n"
             "  cls()\n"
             "  rectfill(0, 0, 127, 127, 1)\n"
             "  camx" + n + " = (camx" + n + " or 0) camx" + n + " += 0x0.8 + 0x1f\n"
             "  for i=0,15 do pal(i, i) end\n"
             "end\n";
  }
}

// At least `min_chars` characters of code, whole blocks only.
inline std::string text_sample_program(size_t min_chars) {
  std::string code;
  for (int i = 0; code.size() < min_chars; ++i) code += text_sample_block(i);
  return code;
}

#include "runner/program_text.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "input/buttons.h"
#include "script/preprocess.h"

// Line 1 names the chunk (runtime errors that carry it have no program
// position); line 2 holds every definition so cart code starts on line 3.
const char zurkel_runtime_header[] =
    "-- zurkel header\n"
    "_pausemenu={} "
    "function menuitem(index,label,callback) "
    "if index and index>=1 and index<=5 then _pausemenu[index]={label=label,callback=callback} "
    "_menuitem(index,label) end end "
    "function all(c) if c==nil or #c==0 then return function() end end "
    "local i,li=1,nil "
    "return function() if c[i]==li then i=i+1 end "
    "while c[i]==nil and i<=#c do i=i+1 end "
    "li=c[i] return li end end "
    "function foreach(c,f) for v in all(c) do f(v) end end "
    "function count(c) local n=0 if c then for i=1,#c do if c[i]~=nil then n=n+1 end end end return n end "
    "function add(c,v) if c==nil then return end c[#c+1]=v return v end "
    "function del(c,v) if c==nil or #c<1 then return end local n=#c "
    "for j=1,n do if c[j]==v then for k=j,n-1 do c[k]=c[k+1] end c[n]=nil return end end end\n";

// Calls _init, then runs the program's own _mainloop or a generated one
// that runs the update callback once or twice per frame by the target rate.
const char zurkel_main_loop_tail[] =
    "\n_end_of_program=1 "
    "if _init then _init() end "
    "_set_mainloop_exists(0) if _mainloop then _set_mainloop_exists(1) end "
    "if _update60 then _set_fps(60) _update=nil else _set_fps(30) end "
    "if not _mainloop and (_draw or _update or _update60) then _set_mainloop_exists(2) "
    "function _mainloop() while true do "
    "_update_buttons() holdframe() "
    "local r=stat(7) "
    "if r==60 then _mark_cpu(0) if _update60 then _update60() end "
    "elseif r==30 and _update60 then _update60() _update_buttons() _mark_cpu(0) _update60() "
    "elseif r==30 and _update then _mark_cpu(0) _update() "
    "elseif r==15 and _update then _update() _update_buttons() _mark_cpu(0) _update() "
    "end "
    "_mark_cpu(1) if _draw then _draw() end _mark_cpu(2) "
    "flip() _update_framerate() "
    "for i=1,5 do if _get_menu_item_selected(i) then local m=_pausemenu[i] "
    "if m and m.callback then m.callback() end end end "
    "end end end "
    "if _mainloop then _mainloop() end\n";

namespace {
const char* const kShortCommands[] = {
    "help", "run", "cls", "folder", "reboot", "shutdown", "ls", "dir", "mkdir", "cd", "load",
    "save", "install_demos", "install_games", "info", "export", "keyconfig", "splore", "import",
    "login", "logout",
};

// A whole text that is a shell command becomes a call of it; such a text
// gets no header and no tail (it is not a cartridge program).
bool substitute_command(const char* code, char* out, int cap) {
  size_t len = std::strlen(code);
  for (const char* name : kShortCommands) {
    size_t n = std::strlen(name);
    if (len == n && std::strcmp(code, name) == 0) {
      std::snprintf(out, cap, "%s()", name);
      return true;
    }
    if (len >= n + 2 && std::strncmp(code, name, n) == 0 && code[n] == ' ' && code[n + 1] != '"') {
      std::snprintf(out, cap, "%s(\"%s\")", name, code + n + 1);
      return true;
    }
  }
  if (std::strcmp(code, "s") == 0) {
    std::snprintf(out, cap, "splore()");
    return true;
  }
  if (std::strcmp(code, "resume") == 0) {
    block_buttons();
    std::snprintf(out, cap, "if _mainloop then _mainloop() else print(\"no _mainloop()\") end");
    return true;
  }
  return false;
}
}  // namespace

int assemble_program(const char* code, bool board_fixup, char* out, int cap) {
  if (substitute_command(code, out, cap)) return static_cast<int>(std::strlen(out));
  // The preprocessed text must fit a 128 KiB working space.
  std::string pre;
  if (!zurkel_preprocess(code, pre) || pre.size() + 1 > 128 * 1024) return -1;
  const char* parts[] = {zurkel_runtime_header, board_fixup ? " nd=0 " : "", pre.c_str(), zurkel_main_loop_tail};
  size_t total = 0;
  for (const char* p : parts) total += std::strlen(p);
  if (total + 1 > static_cast<size_t>(cap)) return -1;
  char* w = out;
  for (const char* p : parts) {
    size_t n = std::strlen(p);
    std::memcpy(w, p, n);
    w += n;
  }
  *w = 0;
  return static_cast<int>(total);
}

int assemble_typed_line(const char* code, char* out, int cap) {
  if (substitute_command(code, out, cap)) return static_cast<int>(std::strlen(out));
  std::string pre;
  if (!zurkel_preprocess(code, pre) || pre.size() + 1 > static_cast<size_t>(cap)) return -1;
  std::memcpy(out, pre.c_str(), pre.size() + 1);
  return static_cast<int>(pre.size());
}

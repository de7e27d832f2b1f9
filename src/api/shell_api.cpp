// Shell functions as running programs call them. They never raise script
// errors: failures are printed or returned as false / nil.
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/registry.h"
#include "base/lost_writes.h"
#include "api/runner_api.h"
#include "cart/cart_files.h"
#include "cart/cart_names.h"
#include "cart/compress.h"
#include "cart/embedded_carts.h"
#include "cart/pipeline.h"
#include "cart/standalone.h"
#include "gfx/printer.h"
#include "host/desktop.h"
#include "script/tokens.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cart.h"
#include "machine/cpu.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"
#include "settings/shell_state.h"

namespace {
constexpr int kPathLimit = 511;

bool is_clip_name(const char* s) {
  return !std::strcmp(s, "@clip") || !std::strcmp(s, "@clip.zk") || !std::strcmp(s, "@clip.png") ||
         !std::strcmp(s, "@clip.zk.png");
}

const char* string_arg(lua_State* L, int i) {
  return lua_type(L, i) == LUA_TSTRING ? lua_tostring(L, i) : nullptr;
}

// A line typed at the prompt: the console carries out the commands that do
// nothing (or list cstore files) for a cartridge program.
bool done_by_console(lua_State* L, const char* name) {
  zurkel_machine* m = zk_machine(L);
  if (!m || !m->run.typed_command || !m->host->typed_command) return false;
  return m->host->typed_command(m, name, string_arg(L, 1));
}

bool ends_with(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}
}  // namespace

int zk_load(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  const char* crumb = string_arg(L, 2);
  const char* params = lua_gettop(L) >= 3 ? lua_tostring(L, 3) : nullptr;
  std::snprintf(m->run_args, 1025, "%s", params ? params : "");
  const char* arg = string_arg(L, 1);
  if (!arg) return 0;
  if (arg[0] == '#') {
    lua_pushboolean(L, 0);
    return 1;
  }
  if (arg[0] == '/') arg++;
  if (arg[0] == '_' && arg[1] == '_') {
    lua_pushboolean(L, 0);
    return 1;
  }
  std::string before = m->loaded.name;
  if (is_clip_name(arg)) {
    int code_len = 0;
    if (!zopts.exec || !load_cart_from_clipboard(m, &code_len)) {
      lua_pushboolean(L, 0);
      return 1;
    }
    zurkel_print_2(m, "loaded from clipboard\n(%d chars)", code_len, 0);
  } else if (int rc = load_script_cart(m, arg); rc != 0) {
    if (rc == 2) {
      zurkel_report_failure(m, "load: outside the cartridge folder");
    } else if (m->run.typed_command) {
      // A cart learns of it from the result; someone typing needs to see it.
      std::string line = std::string("could not load ") + arg;
      zurkel_print_col(m, line.c_str(), 8);
    }
    lua_pushboolean(L, 0);
    return 1;
  }
  if (crumb && std::strlen(crumb) >= 2) add_run_chain_item(m, before.c_str(), crumb, 0);
  reset_runtime_state(m);
  zurkel_reload_rom(m);
  spend_cpu(m, ZURKEL_CYCLES_PER_SECOND);
  if (!zopts.exec) {
    m->pending_command = 1;
    if (before != m->loaded.name) m->disk_pause = 30;
  }
  lua_pushboolean(L, 1);
  return 1;
}

int zk_save(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m || !zopts.exec) return 0;
  const char* name = lua_gettop(L) >= 1 ? lua_tostring(L, 1) : nullptr;
  if (!name || !*name) {
    zurkel_print(m, "please specify filename");
    return 0;
  }
  if (std::strlen(name) > kPathLimit) {
    zurkel_print(m, "filename too long");
    return 0;
  }
  if (is_clip_name(name)) {
    bool blank = false;
    int rc = save_cart_to_clipboard(m, &blank);
    if (blank) {
      zurkel_print_col(m, "warning: label is blank", 9);
      zurkel_print_col(m, "run cart and use f7 to capture", 10);
    }
    zurkel_print(m, rc == 0 ? "saved to clipboard" : "failed to save to clipboard");
    return 0;
  }
  // The cartridge name completion puts ".zk" where it belongs: game.png
  // saves as game.zk.png, game as game.zk.
  std::string completed = inject_zk_extention(std::string(name));
  std::string path = cart_script_path(completed);
  if (path.empty()) {
    zurkel_report_failure(m, "save: outside the cartridge folder");
    return 0;
  }
  if (save_working_cart(m, path.c_str()) == 0) {
    std::snprintf(m->loaded.name, sizeof m->loaded.name, "%s", path.c_str());
    char line[1100];
    std::snprintf(line, sizeof line, "saved %s%s", completed.c_str(), "");
    zurkel_print(m, line);
  } else {
    std::string what = "save failed: " + completed;
    zurkel_report_failure(m, what.c_str());
    brim_report_lost_write(path.c_str());
  }
  return 0;
}

int zk_ls(lua_State* L) {
  if (done_by_console(L, "ls") || lua_gettop(L) >= 1) return 0;
  char folder[1024];
  brim_prefix_with_appdata_path("cstore/", folder);
  std::vector<std::string> names;
  if (DIR* d = opendir(folder)) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.find(".zk") != std::string::npos && n.find('~') == std::string::npos) names.push_back(n);
    }
    closedir(d);
  }
  // Directory order is the file system's; a sorted list is reproducible.
  std::sort(names.begin(), names.end());
  lua_createtable(L, static_cast<int>(names.size()), 0);
  for (size_t i = 0; i < names.size(); i++) {
    lua_pushstring(L, names[i].c_str());
    lua_rawseti(L, -2, static_cast<int>(i + 1));
  }
  return 1;
}

int zk_cd(lua_State* L) {
  const char* name = lua_gettop(L) >= 1 ? lua_tostring(L, 1) : nullptr;
  char line[1100];
  if (!name) {
    std::snprintf(line, sizeof line, "directory: /%s", shell_current_folder());
    zurkel_print_col(zk_machine(L), line, 12);
    return 0;
  }
  if (std::strlen(name) > kPathLimit) return 0;
  std::string root = shell_normalise_path(console_config.root_path);
  if (!root.empty() && root.back() != '/') root += "/";
  std::string resolved = shell_resolve(root.c_str(), name);
  std::string with_slash = resolved.empty() || resolved.back() == '/' ? resolved : resolved + "/";
  if (root.empty() || with_slash.compare(0, root.size(), root) != 0) {
    zurkel_print_col(zk_machine(L), "cd: failed", 7);
    return 0;
  }
  if (!brim_folder_exists(with_slash.c_str())) {
    zurkel_print_col(zk_machine(L), "directory not found", 7);
    return 0;
  }
  std::string rel = with_slash.substr(root.size());
  if (rel == "/") rel.clear();
  shell_set_current_folder(rel.c_str());
  std::snprintf(line, sizeof line, "/%s", shell_current_folder());
  zurkel_print_col(zk_machine(L), line, 12);
  return 0;
}

int zk_mkdir(lua_State* L) {
  const char* name = lua_gettop(L) >= 1 ? lua_tostring(L, 1) : nullptr;
  if (!name) {
    zurkel_print(zk_machine(L), "mkdir [name]");
    return 0;
  }
  if (std::strlen(name) >= 512) {
    zk_push_int(L, 0);
    return 1;
  }
  std::string path = cart_script_path(std::string(name) + "/");
  if (path.empty()) {
    zurkel_report_failure(zk_machine(L), "mkdir: outside the cartridge folder");
    return 0;
  }
  if (!brim_make_folder(path.c_str())) {
    std::string what = std::string("mkdir failed: ") + name;
    zurkel_report_failure(zk_machine(L), what.c_str());
  }
  return 0;
}

int zk_folder(lua_State*) {
  std::string path = std::string(console_config.root_path) + shell_current_folder();
  if (!cconfig.headless) host_open_folder(path.c_str());
  return 0;
}

int zk_info(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  const char* fn = m->loaded.name;
  if (fn && *fn) {
    std::string name = fn;
    const char* ext = ends_with(name, ".zk") || ends_with(name, ".zk.png") || ends_with(name, ".png") ? "" : ".zk";
    char line[1100];
    std::snprintf(line, sizeof line, "file: %s%s", fn, ext);
    zurkel_print_col(m, line, 14);
  }
  zurkel_cart* cart = merge_loaded_cart_tabs(m);
  const char* code = cart->code ? cart->code : "";
  int tokens = count_tokens(code);
  int chars = static_cast<int>(std::strlen(code));
  int compressed = compressed_code_size(code);
  zurkel_print_2_col(m, "tokens:     %5d /  %d", tokens, 8192, tokens > 8192 ? 9 : 6);
  zurkel_print_2_col(m, "chars:      %5d / %d", chars, 65535, chars >= 65536 ? 9 : 6);
  zurkel_print_2_col(m, "compressed: %5d / %d", compressed, 15360, compressed > 15360 ? 9 : 6);
  return 0;
}

int zk_keyconfig(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) m->host->open_keyconfig(m);
  return 0;
}

int zk_install_demos(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  zurkel_print_col(m, "installing demo carts to /demos/", 14);
  std::string folder = std::string(console_config.root_path) + "demos/";
  install_demo_carts(folder.c_str(), [m](const char* name) { zurkel_print(m, name); });
  return 0;
}

int zk_install_games(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L); m && m->host->install_games) m->host->install_games(m);
  return 0;
}

int zk_import(lua_State* L) {
  spend_cpu(zk_machine(L), 4096);
  return 0;
}

int zk_export(lua_State* L) {
  const char* name = lua_gettop(L) >= 1 ? lua_tostring(L, 1) : nullptr;
  if (!name || !*name) {
    zurkel_print(zk_machine(L), "please specify a file");
    return 0;
  }
  spend_cpu(zk_machine(L), 4096);
  // In execute mode a name ending in ".html" is written: the loaded cart as
  // a web page (the web player with the cart inlined), beside where save
  // would put a cart of that name.
  std::string n = name;
  zurkel_machine* m = zk_machine(L);
  if (!m || !zopts.exec || n.size() <= 5 || n.compare(n.size() - 5, 5, ".html") != 0) return 0;
  if (n.size() > kPathLimit) {
    zurkel_print(m, "filename too long");
    return 0;
  }
  std::string why = standalone_export_loaded_page(
      m, std::string(console_config.root_path) + shell_current_folder() + n);
  zurkel_print(m, why.empty() ? ("exported " + n).c_str() : why.c_str());
  return 0;
}

int zk_shell_nothing(lua_State*) { return 0; }
int zk_help(lua_State* L) {
  done_by_console(L, "help");
  return 0;
}
int zk_reboot(lua_State* L) {
  done_by_console(L, "reboot");
  return 0;
}
int zk_shutdown(lua_State* L) {
  done_by_console(L, "shutdown");
  return 0;
}
int zk_splore(lua_State* L) {
  done_by_console(L, "splore");
  return 0;
}

// "cls" is the drawing function's; "run", "login" and "logout" are the
// runner's. The rest of the shell's names are here.
const zk_api_entry zk_shell_api[] = {
    {"load", zk_load},
    {"save", zk_save},
    {"ls", zk_ls},
    {"dir", zk_ls},
    {"cd", zk_cd},
    {"mkdir", zk_mkdir},
    {"folder", zk_folder},
    {"info", zk_info},
    {"keyconfig", zk_keyconfig},
    {"install_demos", zk_install_demos},
    {"install_games", zk_install_games},
    {"import", zk_import},
    {"export", zk_export},
    {"help", zk_help},
    {"reboot", zk_reboot},
    {"shutdown", zk_shutdown},
    {"exit", zk_shell_nothing},
    {"splore", zk_splore},
    {nullptr, nullptr},
};

// Shell commands that act differently when typed at the prompt than when a
// cartridge program calls them (where they do nothing, or ls lists the
// cstore files).
#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/prompt.h"
#include "gfx/printer.h"
#include "machine/machine.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/shell_state.h"

namespace {
// help: the commands a user can type, one screen line each.
const char* const kHelpLines[] = {
    "load <file>   run   info",
    "ls   cd <folder>   mkdir <name>",
    "save <file>   folder   cls",
    "splore   install_games",
    "install_demos   keyconfig",
    "reboot   shutdown   help",
    "up/down: earlier lines",
};

void help(zurkel_machine* m) {
  zurkel_print_col(m, "commands:", 12);
  for (const char* line : kHelpLines) zurkel_print_col(m, line, 6);
}

// ls [folder]: the folder (default the current one) under the cartridge
// root, its folders first (with "/", colour 14), then its files, each group
// in name order; hidden entries are left out.
void list_folder(zurkel_machine* m, const char* arg) {
  std::string root = shell_normalise_path(console_config.root_path);
  if (!root.empty() && root.back() != '/') root += "/";
  std::string path = shell_resolve(root.c_str(), arg && *arg ? arg : ".");
  if (!path.empty() && path.back() != '/') path += "/";
  if (root.empty() || path.compare(0, root.size(), root) != 0) {
    zurkel_print_col(m, "ls: failed", 7);
    return;
  }
  DIR* d = opendir(path.c_str());
  if (!d) {
    zurkel_print_col(m, "directory not found", 7);
    return;
  }
  std::vector<std::string> folders, files;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    (brim_folder_exists((path + name).c_str()) ? folders : files).push_back(name);
  }
  closedir(d);
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  std::string line = "directory: /" + path.substr(root.size());
  zurkel_print_col(m, line.c_str(), 12);
  for (const std::string& f : folders) zurkel_print_col(m, (f + "/").c_str(), 14);
  for (const std::string& f : files) zurkel_print_col(m, f.c_str(), 6);
}
}  // namespace

bool prompt_typed_command(zurkel_machine* m, const char* name, const char* arg) {
  if (!m || !name) return false;
  if (!std::strcmp(name, "ls")) list_folder(m, arg);
  else if (!std::strcmp(name, "help")) help(m);
  else if (!std::strcmp(name, "splore")) m->console_screen = 2;   // shown once the line has ended (mode 0)
  else if (!std::strcmp(name, "reboot")) zprompt.reboot_requested = true;
  else if (!std::strcmp(name, "shutdown")) m->host->quit();
  else return false;
  return true;
}

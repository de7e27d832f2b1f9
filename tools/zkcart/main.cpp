// zkcart: one command for a cart author's chores, on the console's own cart,
// picture and sound code. `zkcart --help` lists the subcommands; each is one
// line of the table below, which the help, `zkcart help CMD` and the
// dispatch all read.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace {

struct command_def {
  const char* name;
  const char* args;     // positional arguments, as the usage shows them
  const char* options;  // the options it takes, space separated
  bool needs_pod;       // reads or writes pictures: data.pod's palette and font
  const char* help;
  int (*run)(const zkc_args&);
};

const command_def commands[] = {
    {"info", "CART", "", false,
     "Title and author (the first two code lines, \"-- title\" and \"-- by author\"),\n"
     "tokens, characters and compressed bytes against their limits, the sections\n"
     "that hold data, and whether the cart has a label.",
     cmd_info},
    {"check", "CART", "", false,
     "Loads and compiles the cart as the console does before running it, without\n"
     "running it: errors name the tab and line as the console does. Warns about\n"
     "an odd header line, a missing version line and unknown section headers.\n"
     "Exit status 0 when the cart would run, 1 otherwise.",
     cmd_check},
    {"pack", "CART OUT.zk.png", "--data-pod", true,
     "Writes the cart as a .zk.png picture cart (its label, title lines and the\n"
     "whole cart in the picture's low bits). The code must compress to 15,360 bytes.",
     cmd_pack},
    {"unpack", "CART.zk.png OUT.zk", "--data-pod", true,
     "Writes a picture cart as a text cart, label included.", cmd_unpack},
    {"import-gfx", "CART SHEET.png", "--nearest --data-pod", true,
     "Replaces the sprite sheet with a 128 x 128 PNG in the console's 16 colours\n"
     "(transparent pixels are colour 0). Other colours are refused with their\n"
     "position, or with --nearest take the nearest console colour. The sheet's\n"
     "lower half is also map rows 32-63: a warning says when those cells change.",
     cmd_import_gfx},
    {"export-gfx", "CART OUT.png", "--data-pod", true,
     "Writes the sprite sheet as a 128 x 128 PNG in the console's colours.", cmd_export_gfx},
    {"import-label", "CART LABEL.png", "--nearest --data-pod", true,
     "Replaces the label (the picture on a .zk.png cart) with a 128 x 128 PNG, as\n"
     "import-gfx reads sheets.",
     cmd_import_label},
    {"export-label", "CART OUT.png", "--data-pod", true,
     "Writes the label as a 128 x 128 PNG.", cmd_export_label},
    {"import-map", "CART MAP.json|MAP.csv", "--layer --data-pod", true,
     "Sets the map from Tiled: a JSON map (orthogonal, its first tile layer or\n"
     "--layer NAME, tile numbers less the tileset's firstgid) or a CSV layer export\n"
     "(numbers as they are, -1 for an empty cell). Cells are sprite numbers 0-255,\n"
     "at most 128 x 64 from the top left; cells outside stay. Map rows 32-63 are\n"
     "the sprite sheet's lower half: they are written only when the file has a\n"
     "non-zero cell there, with a warning when sprite pixels change.",
     cmd_import_map},
    {"export-map", "CART OUT.png", "--data-pod", true,
     "Writes the whole map drawn with its sprites, 1024 x 512 pixels (cells\n"
     "holding sprite 0 are left out, as map() does).",
     cmd_export_map},
    {"export-sfx", "CART N OUT.wav", "", false,
     "Renders sound effect N (0-63) as sfx(N) plays it, through the console's\n"
     "synthesiser and mixer: mono 16-bit 22,050 Hz WAV. A looping effect plays to\n"
     "its loop end and twice round the loop. At most 3 minutes.",
     cmd_export_sfx},
    {"export-music", "CART N OUT.wav", "", false,
     "Renders the music from pattern N (0-63) as music(N) plays it, until the song\n"
     "stops or comes back to a pattern it played (the WAV then loops seamlessly).\n"
     "At most 3 minutes.",
     cmd_export_music},
    {"export-html", "CART OUT.html", "--player --data-pod", true,
     "Writes one self-contained web page that plays the cart from file:// or any\n"
     "static host: the web player (built by scripts/web.sh; --player names another)\n"
     "with the cart inlined. The cart starts at once, without the boot sequence; the\n"
     "page's URL query takes the console's options (?frames=N&seed=S&fast=1&input=...).",
     cmd_export_html},
    {"export-bin", "CART OUT", "--console --data-pod", true,
     "Writes a standalone Linux program: the console (beside zkcart or in the build\n"
     "tree; --console names another) carrying the console's resources and the cart,\n"
     "which starts at once. It takes the console's command-line options.",
     cmd_export_bin},
    {"new", "NAME", "", false,
     "Writes NAME.zk (never over an existing file): a cart with \"-- NAME\" and\n"
     "\"-- by $USER\" lines, _init, _update and _draw, a sprite, a sound and a label.",
     cmd_new},
};

struct option_def {
  const char* name;
  const char* value;  // null for a flag
  const char* help;
};
const option_def options[] = {
    {"--nearest", nullptr, "colours off the palette take the nearest console colour"},
    {"--layer", "NAME", "the Tiled tile layer to read (default the first)"},
    {"--player", "FILE", "the web player page (default beside zkcart, else the build tree's)"},
    {"--console", "FILE", "the console program (default beside zkcart, else the build tree's)"},
    {"--data-pod", "FILE", "palette, font and cart template (default beside zkcart, else the build tree's)"},
};

bool takes(const command_def& c, const std::string& option) {
  std::string list = std::string(" ") + c.options + " ";
  return list.find(" " + option + " ") != std::string::npos;
}

const option_def* find_option(const std::string& name) {
  for (const option_def& o : options)
    if (name == o.name) return &o;
  return nullptr;
}

const command_def* find_command(const std::string& name) {
  for (const command_def& c : commands)
    if (name == c.name) return &c;
  return nullptr;
}

void usage(FILE* f, const command_def* only) {
  if (!only) std::fprintf(f, "usage: zkcart COMMAND ... (zkcart help COMMAND for one)\n\n");
  for (const command_def& c : commands) {
    if (only && &c != only) continue;
    std::fprintf(f, "zkcart %s %s%s\n%s\n", c.name, c.args, *c.options ? " [options]" : "", c.help);
    for (const option_def& o : options)
      if (takes(c, o.name)) std::fprintf(f, "  %-11s %-5s %s\n", o.name, o.value ? o.value : "", o.help);
    std::fprintf(f, "\n");
  }
}

int help(int argc, char** argv) {
  if (argc < 3) return usage(stdout, nullptr), 0;
  const command_def* c = find_command(argv[2]);
  if (!c) return zkc_usage_error(std::string("no command '") + argv[2] + "'");
  return usage(stdout, c), 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage(stderr, nullptr), 2;
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return help(argc, argv);
  const command_def* cmd = find_command(name);
  if (!cmd) return zkc_usage_error("no command '" + name + "'");

  zkc_args a;
  for (int i = 2; i < argc; i++) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return usage(stdout, cmd), 0;
    if (!arg.starts_with("--")) {
      a.pos.push_back(arg);
      continue;
    }
    std::string option = arg.substr(0, arg.find('='));
    const option_def* o = find_option(option);
    if (!o || !takes(*cmd, option)) return zkc_usage_error("zkcart " + name + " has no option " + option);
    if (!o->value) a.opt[option] = "";
    else if (arg.find('=') != std::string::npos) a.opt[option] = arg.substr(arg.find('=') + 1);
    else if (i + 1 < argc) a.opt[option] = argv[++i];
    else return zkc_usage_error(option + " needs a value");
  }
  int wanted = 1 + static_cast<int>(std::count(cmd->args, cmd->args + std::strlen(cmd->args), ' '));
  if (static_cast<int>(a.pos.size()) != wanted)
    return zkc_usage_error(std::string("usage: zkcart ") + cmd->name + " " + cmd->args);
  if (cmd->needs_pod) {
    std::string err;
    if (!zkc_load_resources(a.get("--data-pod"), err)) return zkc_fail("", err);
  }
  return cmd->run(a);
}

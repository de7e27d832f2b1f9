// zkboard: a self-hostable cartridge board for the console's browser.
//   zkboard serve FOLDER [options]     serve the board over HTTP
//   zkboard add FOLDER CART [options]  add a cart to the board
//   zkboard render FOLDER OUT          write the board as static files
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "board_add.h"
#include "board_carts.h"
#include "board_meta.h"
#include "board_serve.h"

namespace {
struct command_def {
  const char* name;
  const char* args;
  int positional;
  const char* help;
};
const command_def commands[] = {
    {"serve", "FOLDER", 1,
     "Serves the carts of FOLDER/board.txt to the console's browser (list pages,\n"
     "carts, a web page per cart) and prints \"zkboard: serving FOLDER at URL\".\n"
     "Edits of board.txt and of its carts are picked up within a second or two.\n"
     "Logs one line per request (client, method, request, status, bytes).\n"
     "Stops on Ctrl+C (SIGINT) or SIGTERM."},
    {"add", "FOLDER CART", 2,
     "Copies CART (.zk or .zk.png) into FOLDER/carts/ under the next free\n"
     "number id (1000 on an empty board) and adds its line to FOLDER/board.txt\n"
     "(created if missing). The title defaults to the cart's first comment line."},
    {"render", "FOLDER OUT", 2,
     "Writes every cart, list page and web page of the board into OUT (empty,\n"
     "or an earlier render, whose bbs/ is replaced) for a static web server:\n"
     "tools/zkboard/nginx.conf.sample maps the requests to the files, which\n"
     "OUT/zkboard-render.txt lists. Searches need `zkboard serve`."},
};

struct option_def {
  const char* name;
  const char* value;
  const char* commands;  // the commands that take it, space separated
  const char* help;
};
const option_def options[] = {
    {"--host", "ADDR", "serve", "IPv4 or IPv6 address to listen on (default 127.0.0.1)"},
    {"--port", "N", "serve", "port (default 8128; 0 picks a free one)"},
    {"--threads", "N", "serve", "worker threads, 1-64 (default 4)"},
    {"--max-clients", "N", "serve", "connections at once, more are refused (default 256)"},
    {"--timeout", "S", "serve", "seconds an idle connection is kept (default 10)"},
    {"--log", "FILE", "serve", "append the request log to FILE (default standard error)"},
    {"--data-pod", "FILE", "serve render",
     "palette, font and cart template (default: data.pod beside zkboard, else ../../data.pod)"},
    {"--id", "ID", "add", "the cart's id (default the next free number)"},
    {"--title", "TEXT", "add", "title (default the cart's first comment line, else its name)"},
    {"--author", "TEXT", "add", "author (default $USER)"},
    {"--category", "C", "add", "new (default), featured, wip, collab or jam"},
    {"--rating", "N", "add", "0-5 (default 0)"},
    {"--date", "YYYY-MM-DD", "add", "date (default today)"},
};

bool takes(const option_def& o, const char* command) {
  std::string list = std::string(" ") + o.commands + " ";
  return list.find(std::string(" ") + command + " ") != std::string::npos;
}

void usage(FILE* f, const command_def* only) {
  if (!only) std::fprintf(f, "usage: zkboard COMMAND ... (zkboard COMMAND --help for one)\n\n");
  for (const command_def& c : commands) {
    if (only && &c != only) continue;
    std::fprintf(f, "zkboard %s %s [options]\n%s\n", c.name, c.args, c.help);
    for (const option_def& o : options)
      if (takes(o, c.name)) std::fprintf(f, "  %-12s %-11s %s\n", o.name, o.value, o.help);
    std::fprintf(f, "\n");
  }
}

int bad(const std::string& message) {
  std::fprintf(stderr, "zkboard: %s (zkboard --help)\n", message.c_str());
  return 2;
}

// A whole number in [lo, hi] or false.
bool whole(const std::string& text, long lo, long hi, int& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  long v = std::stol(text);
  if (v < lo || v > hi) return false;
  out = static_cast<int>(v);
  return true;
}

bool start_carts(const std::map<std::string, std::string>& opt) {
  auto it = opt.find("--data-pod");
  std::string pod = tool_find_data_pod(it == opt.end() ? "" : it->second), err;
  if (pod.empty()) {
    std::fprintf(stderr, "zkboard: no data.pod found (beside zkboard or in the build tree); "
                         "name one with --data-pod FILE\n");
    return false;
  }
  if (!tool_load_resources(pod, err)) {
    std::fprintf(stderr, "zkboard: %s\n", err.c_str());
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    usage(argc < 2 ? stderr : stdout, nullptr);
    return argc < 2 ? 2 : 0;
  }
  const command_def* cmd = nullptr;
  for (const command_def& c : commands)
    if (!std::strcmp(argv[1], c.name)) cmd = &c;
  if (!cmd) return bad(std::string("unknown command '") + argv[1] + "'");

  std::vector<std::string> pos;
  std::map<std::string, std::string> opt;
  for (int i = 2; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") return usage(stdout, cmd), 0;
    if (!a.starts_with("--")) {
      pos.push_back(a);
      continue;
    }
    std::string name = a.substr(0, a.find('=')), value;
    const option_def* def = nullptr;
    for (const option_def& o : options)
      if (name == o.name && takes(o, cmd->name)) def = &o;
    if (!def) return bad("zkboard " + std::string(cmd->name) + " has no option " + name);
    if (a.find('=') != std::string::npos) value = a.substr(a.find('=') + 1);
    else if (i + 1 < argc) value = argv[++i];
    else return bad(name + " needs a value");
    opt[name] = value;
  }
  if (static_cast<int>(pos.size()) != cmd->positional)
    return bad(std::string("usage: zkboard ") + cmd->name + " " + cmd->args + " [options]");
  auto get = [&](const char* name) { return opt.count(name) ? opt[name] : std::string(); };

  if (!std::strcmp(cmd->name, "serve")) {
    board_serve_options o;
    const struct { const char* name; int* field; long lo, hi; } numbers[] = {
        {"--port", &o.port, 0, 65535}, {"--threads", &o.threads, 1, 64},
        {"--max-clients", &o.max_clients, 1, 100000}, {"--timeout", &o.timeout, 1, 3600}};
    for (const auto& n : numbers)
      if (opt.count(n.name) && !whole(opt[n.name], n.lo, n.hi, *n.field))
        return bad(std::string(n.name) + " must be a whole number from " + std::to_string(n.lo) +
                   " to " + std::to_string(n.hi));
    if (opt.count("--host")) o.host = opt["--host"];
    o.log = get("--log");
    return start_carts(opt) ? board_serve(pos[0], o) : 1;
  }
  if (!std::strcmp(cmd->name, "render")) return start_carts(opt) ? board_render(pos[0], pos[1]) : 1;

  board_add_options o{get("--id"), get("--title"), get("--author"), "new", get("--date"), 0};
  if (opt.count("--category")) o.category = opt["--category"];
  if (!board_valid_category(o.category)) return bad("--category: new, featured, wip, collab or jam");
  if (opt.count("--rating") && !whole(opt["--rating"], 0, BOARD_RATING_MAX, o.rating))
    return bad("--rating must be 0-5");
  if (!o.date.empty() && !board_valid_date(o.date)) return bad("--date must be YYYY-MM-DD");
  if (!o.id.empty() && !board_valid_id(o.id)) return bad("--id: 2-40 of 0-9, a-z and '_', no leading 0");
  for (const std::string* t : {&o.title, &o.author})
    if (std::string m = board_text_fault(*t, true); !m.empty()) return bad("--title/--author " + m);
  return board_add(pos[0], pos[1], o);
}

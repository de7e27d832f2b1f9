// export-html and export-bin: a cart as a web page or a standalone program.
#include "commands.h"

namespace {
std::string list(const std::vector<std::string>& places) {
  std::string s;
  for (const std::string& p : places) s += "\n  " + p;
  return s;
}
}  // namespace

int cmd_export_html(const zkc_args& a) {
  const std::string& cart_path = a.pos[0];
  const std::string& out = a.pos[1];
  std::vector<std::string> looked;
  std::string player = zkc_find_player(a.get("--player"), looked);
  if (player.empty())
    return zkc_fail("", "no web player: build it with scripts/web.sh (or name it with --player); "
                        "looked for" + list(looked));
  zkc_cart c;
  if (!zkc_open(cart_path, c)) return 1;
  std::string html, page, err;
  if (!zkc_read_file(player, html, 64u << 20)) return zkc_fail(player, "cannot read it");
  if (!zkc_export_page(c, cart_path, html, page, err)) return zkc_fail(err.starts_with("not the") ? player : cart_path, err);
  if (!zkc_write_file(out, page)) return zkc_fail(out, "cannot write it");
  zkc_wrote(out, std::to_string(page.size()) + " bytes, player " + player);
  return 0;
}

int cmd_export_bin(const zkc_args& a) {
  const std::string& cart_path = a.pos[0];
  const std::string& out = a.pos[1];
  std::vector<std::string> looked;
  std::string console = zkc_find_console(a.get("--console"), looked);
  if (console.empty())
    return zkc_fail("", "no console program (name it with --console); looked for" + list(looked));
  zkc_cart c;
  if (!zkc_open(cart_path, c)) return 1;
  std::string err;
  if (!zkc_export_program(c, cart_path, console, out, err)) return zkc_fail(cart_path, err);
  zkc_wrote(out, "from " + console);
  return 0;
}

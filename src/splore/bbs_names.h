// Where board carts come from and where they are kept. Ids are checked
// before any URL or file name is made from them: at least 2 characters of
// 0-9, a-z and '_' (at most 127).
#pragma once
#include <string>

bool splore_valid_id(const std::string& id);
// The board's scheme, host and port ("board_url", -board_url), without a
// trailing '/'; http://127.0.0.1:8128 when unset.
std::string splore_board_url();
// "/bbs/cposts/%d/%d.zk.png" (n / 10000, n) for a numeric id, else
// "/bbs/cposts/%c%c/%s.zk.png"; after the board url. Empty for a bad id.
std::string get_bbs_cart_url(const std::string& id);
// bbs/N/ID.zk.png (numeric) or bbs/carts/ID.zk.png in the per-user data
// folder, "temp-ID.nfo" instead with nfo; the folders are made. Empty for
// a bad id.
std::string get_bbs_cart_filename_ex(const std::string& id, bool nfo);
// bbs/labels/ID.png; empty for a bad id.
std::string get_bbs_label_filename(const std::string& id);
// The user data folder's "bbs/" + name.
std::string splore_bbs_path(const std::string& name);
// Percent-encoding of a query value (space as %20).
std::string splore_url_encode(const std::string& text);

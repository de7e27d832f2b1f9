// The subcommands of zkcart and what they share: parsed arguments, messages
// and the cart load/store steps. The table that names them is in main.cpp.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "zkcart_core.h"

struct zkc_args {
  std::vector<std::string> pos;            // positional arguments
  std::map<std::string, std::string> opt;  // options given; flags hold ""
  bool has(const std::string& name) const { return opt.count(name) != 0; }
  std::string get(const std::string& name) const { return has(name) ? opt.at(name) : ""; }
};

// Bad input: "zkcart: FILE: message" on standard error; returns 1.
int zkc_fail(const std::string& file, const std::string& message);
// A wrong command line: the message and a pointer to the help; returns 2.
int zkc_usage_error(const std::string& message);
void zkc_warn(const std::string& file, const std::string& message);
// What was written, on standard output.
void zkc_wrote(const std::string& file, const std::string& what = "");

// Loads a cart or says why not (a cart's own console lines become warnings
// unless notes is given).
bool zkc_open(const std::string& path, zkc_cart& cart, zkc_load_notes* notes = nullptr);
// Writes a cart back, or says why not.
bool zkc_store(const zkc_cart& cart, const std::string& path);
// A sound number 0-63 from the command line, or -1.
int zkc_sound_number(const std::string& text);

int cmd_info(const zkc_args& a);
int cmd_check(const zkc_args& a);
int cmd_pack(const zkc_args& a);
int cmd_unpack(const zkc_args& a);
int cmd_new(const zkc_args& a);
int cmd_import_gfx(const zkc_args& a);
int cmd_export_gfx(const zkc_args& a);
int cmd_import_label(const zkc_args& a);
int cmd_export_label(const zkc_args& a);
int cmd_import_map(const zkc_args& a);
int cmd_export_map(const zkc_args& a);
int cmd_export_sfx(const zkc_args& a);
int cmd_export_music(const zkc_args& a);
int cmd_export_html(const zkc_args& a);
int cmd_export_bin(const zkc_args& a);

// Cartridge file names: completing the extension and taking names apart.
#pragma once
#include <string>

constexpr int ZURKEL_FILE_NAME_MAX = 1024;  // buffers of file names

// Completes a cartridge file name into out (ZURKEL_FILE_NAME_MAX bytes):
// name as it is when it contains ".zk"; otherwise ".zk" goes before an
// extension containing ".png" and after any other: game -> game.zk,
// game.png -> game.zk.png, game.txt -> game.txt.zk.
void inject_zk_extention(const char* name, char* out);
std::string inject_zk_extention(const std::string& name);

// Folder part (up to and including the last '/'), base name and extension
// (from the last '.' after the last '/').
void cart_split_name(const std::string& name, std::string& folder, std::string& base,
                     std::string& ext);

// True for a name that saves as a PNG cart.
bool cart_name_is_png(const std::string& name);

// "@clip", "@clip.zk", "@clip.png" and "@clip.zk.png": the host clipboard.
bool cart_name_is_clipboard(const std::string& name);

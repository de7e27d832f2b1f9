// Builds a pod from a readable manifest (the data.pod sources under
// assets/). One directive per line; '#' starts a comment line; paths are
// relative to the manifest's folder:
//
//   name NAME              header name of the pod being built
//   pod NAME ... end       a nested pod, stored as a file item named NAME
//   file PATH [NAME]       a file item with the bytes of PATH (NAME: its base name)
//   text "STRING" NAME     a file item holding STRING (\n, \" and \\ escapes)
//   cart32k PATH NAME      a text cartridge turned into a 32 KiB cartridge image
//   pngcart PATH NAME      a text cartridge as a .zk.png file (the template and
//                          font of items 1 and 2 of the top-level pod)
//   palette PATH           a palette item: 256 lines "r g b"
//   bitmap8 PATH           an 8-bit bitmap: one row per line, digits 0-f, '.' = 0
//   bitmap32 PATH          a 32-bit bitmap from a PNG (stored blue, green, red, alpha)
//   glyphs PATH            256 8-bit glyph bitmaps (codes 0-255) from a glyph sheet
//   podfile PATH [NAME]    a nested pod read from an existing pod file
//   pad N                  empty file items until the next item index is N
#pragma once
#include <string>
#include <vector>

#include "pod/pod.h"

// The pod, or null with "path:line: message" in error. inputs (optional)
// receives every file the manifest read.
brim_pod* brim_build_pod_from_manifest(const char* manifest_path, std::string& error,
                                       std::vector<std::string>* inputs = nullptr);

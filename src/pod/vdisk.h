// The virtual disk: in-memory files named by the base name and extension
// of the path they were created under (folders are ignored). Embedded
// cartridges live here, where load and reload find them.
#pragma once

#include "pod/stream.h"

// Mode beginning with 'r': the file of that name from its start, or null.
// 'w': the file emptied, or created. Any other mode: null. The stream
// belongs to the disk: brim_fclose only rewinds it.
brim_stream* brim_fopen_vdisk(const char* path, const char* mode);

// The file of that name without opening it, or null.
brim_stream* brim_vdisk_find(const char* path);
void brim_vdisk_remove(const char* path);
void brim_vdisk_clear();
int brim_vdisk_count();

// The part of path after its last '/' or '\\'.
const char* brim_base_name(const char* path);

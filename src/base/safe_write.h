// The shared safe-write routine for files users care about (carts, cart
// data, config, captures): the writer fills a temporary file beside the
// target, which is flushed to disk and renamed over the target only when
// everything was written.
#pragma once
#include <cstdio>

using brim_file_writer = bool (*)(FILE* f, void* ctx);
bool brim_write_file_safely(const char* path, brim_file_writer writer, void* ctx);
// The same with the temporary file's name given (it must sit beside path).
bool brim_write_file_via(const char* path, const char* temp_path, brim_file_writer writer,
                         void* ctx);

// Removes the temporary files an interrupted write of ours left in folder
// (and its subfolders, depth levels down): "NAME.tmpPID" of a process that
// no longer runs, and "NAME.tmp" of a cart, cart-data file, config.txt or
// pod untouched for a minute. Each removal is logged; returns how many.
int brim_clean_stale_temp_files(const char* folder, int depth);

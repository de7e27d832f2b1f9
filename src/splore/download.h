// Board downloads: one at a time, polled once per machine frame. List
// pages land in "bbs/temp_NAME.pip.png" (first pages, then copied to the
// cache "bbs/NAME.pip.png") or "bbs/temp_NAME__.pip.png" (further pages);
// carts in the file get_bbs_cart_filename_ex names.
#pragma once
#include <string>

struct zurkel_machine;

constexpr long long SPLORE_CART_MAX_BYTES = 2LL << 20;

// One page of a list from start (ignored while a download runs).
void download_list(const std::string& name, const std::string& request, int start);
// A cart by id: a bad id cancels any download and shows "download failed".
void download_bbs_cart(zurkel_machine* m, const std::string& id);
bool splore_download_running();
// Bytes received and expected (-1 unknown) of the running download.
void splore_download_progress(long long& received, long long& expected);
// Poll: time-out, results, failures (messages as the browser shows them).
void update_splore_download(zurkel_machine* m);
// Stops waiting for the current download (its transfer is stopped too)
// and shows message when not null.
void cancel_download(zurkel_machine* m, const char* message);

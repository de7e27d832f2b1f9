// Small text helpers shared by every layer.
#pragma once
#include <cstddef>

// Copies at most keep characters of src (null reads as "") into dst and
// ends it with a zero; dst holds keep + 1 bytes.
void zurkel_copy_cut(char* dst, const char* src, size_t keep);

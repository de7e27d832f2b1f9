// Whole-number upscaling of 8-bit frames for the saved images.
#pragma once

struct brim_bitmap;

// A new 8-bit bitmap s times the size of src, each source pixel an s x s
// block (values kept as they are, extended colours included); null when
// src is not 8-bit or the size is out of range.
brim_bitmap* capture_scale_bitmap(const brim_bitmap* src, int s);

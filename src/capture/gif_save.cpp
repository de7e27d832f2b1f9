#include "capture/gif_save.h"

#include <gif_lib.h>

#include <cstdio>
#include <string>

#include "capture/output_files.h"
#include "capture/scale.h"
#include "capture/video_clip.h"
#include "base/bitmap.h"
#include "host/desktop.h"
#include "gfx/video.h"
#include "base/debug.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "base/safe_write.h"

namespace {
constexpr int SIDE = 128;
const GifByteType LOOP_APP[11] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
const GifByteType LOOP_FOREVER[3] = {1, 0, 0};
// Disposal 2 (restore to background), no transparency, 3/100 s.
const GifByteType FRAME_CONTROL[4] = {8, 3, 0, 0};

int to_file(GifFileType* gif, const GifByteType* bytes, int n) {
  return static_cast<int>(std::fwrite(bytes, 1, n, static_cast<FILE*>(gif->UserData)));
}

bool uses_extended_colours() {
  for (int i = 0; i < capture.video_clip_index; i++) {
    const brim_bitmap* b = capture.video_clip[i];
    for (int p = 0; p < SIDE * SIDE; p++)
      if (b->data[p] >= 16) return true;
  }
  return false;
}

bool put_frame(GifFileType* gif, const brim_bitmap* frame, int scale, int colours, bool first) {
  if (first) {
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, 11, LOOP_APP) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, 3, LOOP_FOREVER) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif) == GIF_ERROR)
      return false;
  }
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, FRAME_CONTROL) == GIF_ERROR) return false;
  brim_bitmap* canvas = capture_scale_bitmap(frame, scale);
  if (!canvas) return false;
  bool ok = EGifPutImageDesc(gif, 0, 0, canvas->w, canvas->h, false, nullptr) != GIF_ERROR;
  for (int y = 0; ok && y < canvas->h; y++) {
    GifPixelType* row = canvas->line[y];
    for (int x = 0; x < canvas->w; x++) row[x] = static_cast<GifPixelType>(row[x] % colours);
    ok = EGifPutLine(gif, row, canvas->w) != GIF_ERROR;
  }
  brim_destroy_bitmap(canvas);
  return ok;
}

bool write_gif(FILE* f, void*) {
  int err = 0;
  GifFileType* gif = EGifOpen(f, to_file, &err);
  if (!gif) return false;
  int frames = capture.video_clip ? capture.video_clip_index : 0;
  int scale = capture_gif_scale();
  int colours = frames > 0 && uses_extended_colours() ? 256 : 16;
  GifColorType table[256];
  for (int i = 0; i < colours; i++)
    table[i] = GifColorType{brim_palette[i * 3], brim_palette[i * 3 + 1], brim_palette[i * 3 + 2]};
  ColorMapObject* map = GifMakeMapObject(1 << GifBitSize(colours), table);
  // Extension blocks need the 89a header; an empty recording has none.
  EGifSetGifVersion(gif, frames > 0);
  bool ok = map && EGifPutScreenDesc(gif, SIDE * scale, SIDE * scale, colours, 0, map) != GIF_ERROR;
  for (int i = 0; ok && i < frames; i++) ok = put_frame(gif, capture.video_clip[i], scale, colours, i == 0);
  GifFreeMapObject(map);
  ok = EGifCloseFile(gif, &err) != GIF_ERROR && ok;
  return ok;
}
}  // namespace

int capture_gif_scale() {
  int s = console_config.gif_scale;
  return s < 1 ? 1 : s > 32 ? 32 : s;
}

int save_gif() {
  std::string path = capture_output_path("%d", ".gif");
  if (path.empty()) return 1;
  brim_debugf("saving video to: %s\n", path.c_str());
  if (!brim_write_file_safely(path.c_str(), write_gif, nullptr)) return 1;
  host_offer_file(path.c_str());
  return 0;
}

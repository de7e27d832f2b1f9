// podbuild MANIFEST OUTPUT: builds a pod from a manifest (see
// src/pod/pod_manifest.h for the directives) and writes it to OUTPUT,
// through a temporary file so a failed build never leaves half a pod.
// podbuild --compress POD OUTPUT: the same pod with its files and bitmaps
// LZ4-compressed ("cFIL", "cBMP"; the web player embeds data.pod so).
#include <cstdio>
#include <cstring>
#include <string>

#include "pod/pod.h"
#include "cart/pod_manifest.h"

int main(int argc, char** argv) {
  const char* usage =
      "usage: podbuild MANIFEST OUTPUT\n"
      "       podbuild --compress POD OUTPUT\n"
      "  builds a pod from MANIFEST (assets/data.pod.manifest documents the directives),\n"
      "  or writes POD again with its items compressed\n";
  if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::fputs(usage, stdout);
    return 0;
  }
  bool compress = argc == 4 && std::strcmp(argv[1], "--compress") == 0;
  if (argc != 3 && !compress) {
    std::fputs(usage, stderr);
    return 2;
  }
  const char* input = argv[argc - 2];
  const char* output = argv[argc - 1];
  std::string error;
  brim_pod* pod = compress ? brim_load_pod(input) : brim_build_pod_from_manifest(input, error);
  if (!pod) {
    std::fprintf(stderr, "podbuild: %s\n", compress ? (std::string("cannot read ") + input).c_str() : error.c_str());
    return 1;
  }
  brim_pod_compression = compress ? 1 : 0;
  std::string temp = std::string(output) + ".tmp";
  brim_stream* s = brim_fopen_file(temp.c_str(), "wb");
  bool ok = s && brim_save_pod_file(pod->name, pod, s) == 0;
  if (s && brim_fclose(s) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), output) != 0) ok = false;
  if (!ok) {
    std::remove(temp.c_str());
    std::fprintf(stderr, "podbuild: cannot write %s\n", output);
  } else {
    std::printf("podbuild: %s: %d items\n", output, pod->count);
  }
  brim_destroy_pod(pod);
  return ok ? 0 : 1;
}

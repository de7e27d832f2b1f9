// podbuild MANIFEST OUTPUT: builds a pod from a manifest (see
// src/pod/pod_manifest.h for the directives) and writes it to OUTPUT,
// through a temporary file so a failed build never leaves half a pod.
#include <cstdio>
#include <cstring>
#include <string>

#include "pod/pod.h"
#include "cart/pod_manifest.h"

int main(int argc, char** argv) {
  const char* usage =
      "usage: podbuild MANIFEST OUTPUT\n"
      "  builds a pod from MANIFEST (assets/data.pod.manifest documents the directives)\n";
  if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs(usage, stderr);
    return 2;
  }
  std::string error;
  brim_pod* pod = brim_build_pod_from_manifest(argv[1], error);
  if (!pod) {
    std::fprintf(stderr, "podbuild: %s\n", error.c_str());
    return 1;
  }
  std::string temp = std::string(argv[2]) + ".tmp";
  brim_stream* s = brim_fopen_file(temp.c_str(), "wb");
  bool ok = s && brim_save_pod_file(pod->name, pod, s) == 0;
  if (s && brim_fclose(s) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), argv[2]) != 0) ok = false;
  if (!ok) {
    std::remove(temp.c_str());
    std::fprintf(stderr, "podbuild: cannot write %s\n", argv[2]);
  } else {
    std::printf("podbuild: %s: %d items\n", argv[2], pod->count);
  }
  brim_destroy_pod(pod);
  return ok ? 0 : 1;
}

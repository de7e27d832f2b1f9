// Any bytes as config.txt. Whatever is read must be written, and the
// written file must read back to the same settings: writing it again gives
// the same bytes.
#include "fuzz_files.h"
#include "settings/config.h"

namespace {
std::string load_and_save(const std::string& from, const std::string& to) {
  zurkel_config_default();
  brim_config_load_file(from.c_str());
  if (!brim_config_save_file(to.c_str())) __builtin_trap();
  return fuzz_slurp(to);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz_paths& p = fuzz_temp_paths("fuzz_config");
  fuzz_spit(p.in, data, size);
  std::string once = load_and_save(p.in, p.once);
  if (load_and_save(p.once, p.twice) != once) __builtin_trap();
  return 0;
}

// Compressing a full-size program: target below 20 ms for 65,536 characters,
// and the compressed size of a typical large program against the 15,360-byte
// limit of a cartridge image.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "cart/compress.h"

namespace {

// A game-like program: many functions over a vocabulary of a few hundred
// made-up names, varied statements and numbers, comments, grown to the
// wanted length. Real programs repeat themselves about this much.
std::string typical_program(int target) {
  std::mt19937 rng(42);
  const char* syl[] = {"ba", "ko", "ri", "zu", "te", "mo", "la", "pi", "sen", "dar", "vo",
                       "qu", "xi", "nel", "gor", "fa", "hu", "jo", "wy", "cal"};
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  std::vector<std::string> names;
  for (int i = 0; i < 300; i++) {
    std::string n;
    for (int k = 0, m = 1 + pick(3); k < m; k++) n += syl[pick(20)];
    if (pick(3) == 0) n += "_" + std::string(syl[pick(20)]);
    names.push_back(n);
  }
  const char* api[] = {"spr", "sfx", "pset", "rectfill", "circfill", "print", "line", "map",
                       "mget", "fget", "btn", "btnp", "rnd", "flr", "sin", "cos", "abs"};
  auto name = [&] { return names[pick(300)]; };
  auto num = [&] { return std::to_string(pick(pick(2) ? 16 : 1000)); };
  std::string s = "-- " + name() + " " + name() + "\n-- a bigger game\n\n";
  while (static_cast<int>(s.size()) < target) {
    std::string o = name();
    s += "function " + name() + "(" + o + "," + name() + ")\n";
    for (int k = 0, m = 3 + pick(8); k < m; k++) {
      switch (pick(8)) {
        case 0: s += "  local " + name() + "=" + o + "." + name() + "+" + num() + "\n"; break;
        case 1: s += "  " + o + "." + name() + "+=" + num() + "\n"; break;
        case 2: s += "  if " + o + "." + name() + ">" + num() + " then " + name() + "(" + o + ") end\n"; break;
        case 3: s += "  " + std::string(api[pick(17)]) + "(" + num() + "," + o + ".x," + o + ".y," + num() + ")\n"; break;
        case 4: s += "  for i=1,#" + name() + " do\n    " + name() + "[i]." + name() + "=" + num() + "\n  end\n"; break;
        case 5: s += "  -- " + name() + " " + name() + " " + name() + "\n"; break;
        case 6: s += "  print(\"" + name() + ": \".." + o + "." + name() + "," + num() + "," + num() + "," + num() + ")\n"; break;
        default: s += "  " + name() + "=" + name() + "*" + num() + "/" + num() + "\n"; break;
      }
    }
    s += "end\n\n";
  }
  s.resize(target);
  return s;
}

void BM_CompressFullProgram(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  std::string text = typical_program(n);
  std::vector<uint8_t> out(8 + 2 * text.size());
  int size = 0;
  for (auto _ : state) {
    size = compress_mini(text.data(), out.data(), n);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["compressed_bytes"] = size;
  state.counters["limit_bytes"] = ZURKEL_COMPRESSED_LIMIT;
}
BENCHMARK(BM_CompressFullProgram)->Arg(16384)->Arg(32768)->Arg(40000)->Arg(65535)->Unit(benchmark::kMillisecond);

void BM_CompressWorstCaseRepeats(benchmark::State& state) {
  std::string text(65535, ' ');
  std::vector<uint8_t> out(8 + 2 * text.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(compress_mini(text.data(), out.data(), 65535));
  }
}
BENCHMARK(BM_CompressWorstCaseRepeats)->Unit(benchmark::kMillisecond);

}  // namespace

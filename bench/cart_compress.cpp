// Compressing a full-size program: target below 20 ms for 65,536 characters,
// and the compressed size of a typical large program against the 15,360-byte
// limit of a cartridge image.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "cart/compress.h"

namespace {

// A game-like program: functions over a few entities with varied numbers,
// comments and strings, grown to the wanted length.
std::string typical_program(int target) {
  std::mt19937 rng(42);
  const char* names[] = {"player", "enemy", "bullet", "particle", "pickup", "door", "boss"};
  const char* calls[] = {"spr", "sfx", "pset", "rectfill", "circfill", "print", "line"};
  std::uniform_int_distribution<int> pick(0, 6), num(0, 127);
  std::string s = "-- cave runner\n-- a bigger game\n\n";
  int f = 0;
  while (static_cast<int>(s.size()) < target) {
    std::string a = names[pick(rng)], b = names[pick(rng)], c = calls[pick(rng)];
    s += "-- " + a + " step " + std::to_string(f) + "\n";
    s += "function upd_" + a + "_" + std::to_string(f++) + "(o)\n";
    s += "  o.x+=o.dx o.y+=o.dy*" + std::to_string(num(rng)) + "\n";
    s += "  if o.t>" + std::to_string(num(rng)) + " then del(" + b + "s,o) return end\n";
    s += "  for q in all(" + a + "s) do\n";
    s += "    if abs(q.x-o.x)<" + std::to_string(num(rng) % 16) + " and q!=o then\n";
    s += "      " + c + "(" + std::to_string(num(rng)) + ",q.x,q.y," + std::to_string(num(rng) % 16) + ")\n";
    s += "      q.hp-=" + std::to_string(num(rng) % 5 + 1) + "\n    end\n  end\n";
    s += "  print(\"" + a + " \"..o.hp,2," + std::to_string(num(rng)) + ",7)\nend\n\n";
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
BENCHMARK(BM_CompressFullProgram)->Arg(16384)->Arg(32768)->Arg(65535)->Unit(benchmark::kMillisecond);

void BM_CompressWorstCaseRepeats(benchmark::State& state) {
  std::string text(65535, ' ');
  std::vector<uint8_t> out(8 + 2 * text.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(compress_mini(text.data(), out.data(), 65535));
  }
}
BENCHMARK(BM_CompressWorstCaseRepeats)->Unit(benchmark::kMillisecond);

}  // namespace

// Preprocessing and token counting of a full-size (65,536-character)
// program; the target is under 5 ms for the pair. The long-line cases make
// sure many rewrites on one line do not rescan it each time.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/unit/text_sample_program.h"
#include "script/preprocess.h"
#include "script/tokens.h"

namespace {

std::string full_size_program() {
  std::string code = text_sample_program(65536);
  code.resize(65536);
  return code;
}

// One logical line of 65,536 characters: a compound assignment and an
// "!=" every ten characters (about 6,500 rewrites and 6,500 replacements).
std::string long_rewrite_line() {
  std::string line;
  while (line.size() < 65536) line += "a+=b c!=d ";
  line.resize(65536);
  return line;
}

// Compound assignments nested 200 deep, repeated over 40,000 characters (the
// most whose rewrites still fit the 128 KiB work buffer):
// each nested rewrite rescans what lies inside it.
std::string nested_rewrite_line() {
  std::string group;
  for (int i = 0; i < 200; ++i) group += "a+=f(";
  group += std::string(200, ')') + " ";
  std::string line;
  while (line.size() + group.size() < 40000) line += group;
  return line;
}

void BM_PreprocessAndCount(benchmark::State& state) {
  const std::string code = full_size_program();
  std::string out;
  for (auto _ : state) {
    benchmark::DoNotOptimize(zurkel_preprocess(code.c_str(), out));
    benchmark::DoNotOptimize(count_tokens(code.c_str()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(code.size()));
}
BENCHMARK(BM_PreprocessAndCount)->Unit(benchmark::kMillisecond);

void BM_Preprocess(benchmark::State& state) {
  const std::string code = full_size_program();
  std::string out;
  for (auto _ : state) benchmark::DoNotOptimize(zurkel_preprocess(code.c_str(), out));
}
BENCHMARK(BM_Preprocess)->Unit(benchmark::kMillisecond);

void BM_CountTokens(benchmark::State& state) {
  const std::string code = full_size_program();
  for (auto _ : state) benchmark::DoNotOptimize(count_tokens(code.c_str()));
}
BENCHMARK(BM_CountTokens)->Unit(benchmark::kMillisecond);

void BM_PreprocessLongRewriteLine(benchmark::State& state) {
  const std::string code = long_rewrite_line();
  std::string out;
  for (auto _ : state) {
    if (!zurkel_preprocess(code.c_str(), out)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PreprocessLongRewriteLine)->Unit(benchmark::kMillisecond);

void BM_PreprocessNestedRewrites(benchmark::State& state) {
  const std::string code = nested_rewrite_line();
  std::string out;
  for (auto _ : state) {
    if (!zurkel_preprocess(code.c_str(), out)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PreprocessNestedRewrites)->Unit(benchmark::kMillisecond);

}  // namespace

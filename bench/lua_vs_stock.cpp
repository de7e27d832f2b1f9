// The same script workloads on our interpreter (in process) and on Debian's
// stock lua5.2 binary (a child process, start-up time subtracted). Each
// "ours" run reports stock_over_ours: above 1 means ours is faster. Both
// sides are measured in CPU time (the child's from its resource usage), so
// a busy machine does not skew the ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include "script/interp.h"
#include "lauxlib.h"

namespace {

// Values stay inside the 16.16 range so both interpreters compute alike.
const std::map<std::string, std::string> kWorkloads = {
    {"arith",
     "local s = 0 for k = 1, 20 do for i = 1, 3000 do for j = 1, 10 do "
     "s = (s + i * 3 - j) % 1000 end end end r = s"},
    {"calls",
     "local function f(a, b) return a + b end local s = 0 "
     "for k = 1, 20 do for i = 1, 20000 do s = f(s, 1) % 1000 end end r = s"},
    {"tables",
     "local t = {} local s = 0 for k = 1, 40 do for i = 1, 10000 do t[i] = i end "
     "for i = 1, 10000 do s = (s + t[i]) % 1000 end local p = {x = k, y = 2} s = s + p.x + p.y end r = s"},
    {"closures",
     "local s = 0 for k = 1, 20 do for i = 1, 10000 do local f = function() return i end "
     "s = (s + f()) % 1000 end end r = s"},
    {"concat",
     "local n = 0 for k = 1, 400 do local s = '' for i = 1, 100 do s = s .. 'ab' .. i end n = n + #s end r = n"},
};

double cpu_now() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double children_cpu() {
  rusage ru;
  getrusage(RUSAGE_CHILDREN, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

double run_stock_file(const std::string& path) {
  std::string cmd = "lua5.2 " + path + " >/dev/null 2>&1";
  double best = 1e9;
  for (int i = 0; i < 3; i++) {
    double t0 = children_cpu();
    if (std::system(cmd.c_str()) != 0) return -1;
    best = std::min(best, children_cpu() - t0);
  }
  return best;
}

std::string write_temp(const std::string& code) {
  char name[] = "/tmp/zklua_benchXXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) return "";
  if (write(fd, code.data(), code.size()) != static_cast<ssize_t>(code.size())) {
    close(fd);
    return "";
  }
  close(fd);
  return name;
}

// Seconds the stock binary needs for one run of a workload (cached).
double stock_seconds(const std::string& name) {
  static std::map<std::string, double> cache;
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  static double startup = -2;
  if (startup == -2) {
    std::string empty = write_temp("r = 0");
    startup = run_stock_file(empty);
    std::remove(empty.c_str());
  }
  std::string file = write_temp(kWorkloads.at(name));
  double t = run_stock_file(file);
  std::remove(file.c_str());
  double result = (t < 0 || startup < 0) ? -1 : std::max(t - startup, 1e-6);
  cache[name] = result;
  return result;
}

void BM_ours(benchmark::State& state, const std::string& name) {
  lua_State* L = zurkel_new_state();
  const std::string& code = kWorkloads.at(name);
  double total = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    double t0 = cpu_now();
    if (luaL_loadbuffer(L, code.data(), code.size(), "=bench") != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK) {
      state.SkipWithError(lua_tostring(L, -1));
      break;
    }
    total += cpu_now() - t0;
    runs++;
  }
  lua_close(L);
  double stock = stock_seconds(name);
  if (runs > 0 && stock > 0) state.counters["stock_over_ours"] = stock / (total / runs);
}

void BM_stock(benchmark::State& state, const std::string& name) {
  for (auto _ : state) {
    double t = stock_seconds(name);
    if (t < 0) {
      state.SkipWithError("lua5.2 not available");
      break;
    }
    state.SetIterationTime(t);
  }
}

int register_all() {
  for (const auto& [name, code] : kWorkloads) {
    benchmark::RegisterBenchmark(("ours/" + name).c_str(), BM_ours, name)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("stock/" + name).c_str(), BM_stock, name)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}
const int registered = register_all();

}  // namespace

// The interpreter suite: every bench/lua/*.lua workload runs on Debian's
// stock lua5.2 and on our interpreter (tools/zklua) in the same run, then
// under the console's CPU budget: once in zklua -budget (the runner's count
// hook and a yield per frame's cycles, nothing else) and once inside the
// console as a cart (execute mode, -fast: the hook plus the host loop's
// frames and the collection before each slice). Runs are interleaved (one
// of each per round), start-up is taken out by subtracting the median of an
// empty script or cart, and each figure is the median over rounds.
//
// Prints the ratio stock / ours per workload (above 1 means ours is faster;
// the median of the per-round ratios, with their range) and the geometric
// mean, then what the hook and the whole console add to zklua's time. Times are CPU seconds of the child process
// (user + system; steadier than wall time on a shared machine) unless -wall
// is given; -instructions counts executed instructions instead (each run
// once under valgrind's callgrind: slow, but exact and unaffected by other
// load, for comparing changes during development). Exits non-zero only when a run fails or the interpreters
// disagree on a workload's checksum; slow results are reported, not failed.
//
// usage: bench_lua_suite [-n ROUNDS] [-only NAME[,NAME...]] [-wall | -instructions]
//                        [-no-console] [-stock PROG] [-zklua PROG] [-zurkel PROG]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "lang/fixed.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

enum class metric { cpu, wall, instructions };
metric g_metric = metric::cpu;
std::string g_scratch;  // scratch folder (callgrind's report goes there)

struct run_result {
  bool ok = false;
  double cpu = 0, wall = 0;
  double instructions = 0;  // billions, with -instructions
  std::string out;          // standard output
};

double now_seconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

std::string read_file(const fs::path& p);

// Runs argv with standard output captured and standard error discarded
// (kept for callgrind's count with -instructions).
run_result run(std::vector<std::string> args) {
  run_result r;
  const std::string err_file = g_metric == metric::instructions ? g_scratch + "/stderr" : "/dev/null";
  if (g_metric == metric::instructions)
    args.insert(args.begin(), {"valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"});
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return r;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, pipe_fds[1], 1);
  posix_spawn_file_actions_addclose(&fa, pipe_fds[0]);
  posix_spawn_file_actions_addopen(&fa, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  double t0 = now_seconds();
  pid_t pid;
  int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(pipe_fds[1]);
  if (rc != 0) {
    close(pipe_fds[0]);
    return r;
  }
  char buf[4096];
  for (ssize_t n; (n = read(pipe_fds[0], buf, sizeof buf)) > 0;) r.out.append(buf, n);
  close(pipe_fds[0]);
  int status = 0;
  rusage ru{};
  if (wait4(pid, &status, 0, &ru) != pid) return r;
  r.wall = now_seconds() - t0;
  r.cpu = ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (g_metric == metric::instructions) {
    std::string err = read_file(err_file);
    size_t at = err.find("Collected : ");
    if (at == std::string::npos) r.ok = false;
    else r.instructions = std::atof(err.c_str() + at + 12) * 1e-9;
  }
  return r;
}

std::string trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

std::string read_file(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// The console has no standard output for a cart: the cart's print stores
// its one checksum number in cart data, read back here.
constexpr const char* kCartHead =
    "zurkel cartridge // interpreter suite\nversion 12\n__lua__\n"
    "cartdata(\"zk_lua_suite\")\nprint = function(v) dset(0, v) end\n";

std::string cart_checksum(const fs::path& home) {
  std::string data = read_file(home / "cdata" / "zk_lua_suite.zkd.txt");
  data.erase(std::remove(data.begin(), data.end(), '\n'), data.end());
  if (data.size() < 8) return "";
  auto raw = static_cast<int32_t>(std::stoul(data.substr(0, 8), nullptr, 16));
  char text[32];
  zurkel_fixed_to_string(text, raw);
  return text;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct series {
  std::vector<double> t;  // per round, start-up not yet taken out
  void add(const run_result& r) {
    t.push_back(g_metric == metric::wall ? r.wall : g_metric == metric::cpu ? r.cpu : r.instructions);
  }
};

// Median of (a - a0) / (b - b0) over rounds, and its smallest and largest value.
struct ratio {
  double mid = 0, lo = 0, hi = 0;
};
ratio ratio_of(const series& a, double a0, const series& b, double b0) {
  std::vector<double> r;
  for (size_t i = 0; i < a.t.size() && i < b.t.size(); i++)
    r.push_back(std::max(a.t[i] - a0, 1e-6) / std::max(b.t[i] - b0, 1e-6));
  ratio out;
  if (r.empty()) return out;
  out.mid = median(r);
  out.lo = *std::min_element(r.begin(), r.end());
  out.hi = *std::max_element(r.begin(), r.end());
  return out;
}

int usage() {
  std::fprintf(stderr,
               "usage: bench_lua_suite [-n ROUNDS] [-only NAME[,NAME...]] [-wall | -instructions] [-no-console]\n"
               "                       [-stock PROG] [-zklua PROG] [-zurkel PROG]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  bool console = true;
  std::string stock = "lua5.2", zklua = ZK_SUITE_ZKLUA, zurkel = ZK_SUITE_ZURKEL, only;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    bool has_value = i + 1 < argc;
    if (a == "-n" && has_value) rounds = std::max(1, std::atoi(argv[++i]));
    else if (a == "-only" && has_value) only = "," + std::string(argv[++i]) + ",";
    else if (a == "-wall") g_metric = metric::wall;
    else if (a == "-instructions") g_metric = metric::instructions, rounds = 1;
    else if (a == "-no-console") console = false;
    else if (a == "-stock" && has_value) stock = argv[++i];
    else if (a == "-zklua" && has_value) zklua = argv[++i];
    else if (a == "-zurkel" && has_value) zurkel = argv[++i];
    else return usage();
  }

  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(ZK_SUITE_WORKLOADS)) {
    if (e.path().extension() != ".lua") continue;
    std::string name = e.path().stem();
    if (only.empty() || only.find("," + name + ",") != std::string::npos) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  if (names.empty()) {
    std::fprintf(stderr, "no workloads in %s\n", ZK_SUITE_WORKLOADS);
    return 1;
  }

  // Scratch folder: the empty script, the carts, the console's home.
  char tmpl[] = "/tmp/zk_lua_suiteXXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const fs::path tmp = tmpl;
  g_scratch = tmp.string();
  const fs::path home = tmp / "home";
  {
    std::ofstream(tmp / "empty.lua") << "local x = 0\n";
    std::ofstream(tmp / "empty.zk") << kCartHead;
    for (const auto& n : names)
      std::ofstream(tmp / (n + ".zk")) << kCartHead << read_file(fs::path(ZK_SUITE_WORKLOADS) / (n + ".lua"));
  }
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);

  auto lua_args = [&](const std::string& prog, const fs::path& file) {
    return std::vector<std::string>{prog, file.string()};
  };
  auto cart_args = [&](const fs::path& cart) {
    return std::vector<std::string>{zurkel, "-home", home.string(), "-x", cart.string(), "-fast"};
  };

  bool failed = false;
  auto fail = [&](const std::string& what) {
    std::fprintf(stderr, "error: %s\n", what.c_str());
    failed = true;
  };

  // An older zklua without -budget gives the console figures only.
  const bool hook = console && run({zklua, "-budget", (tmp / "empty.lua").string()}).ok;
  series base_stock, base_ours, base_hook, base_cart;
  std::map<std::string, series> t_stock, t_ours, t_hook, t_cart;
  std::map<std::string, std::string> sums;
  for (int round = 0; round < rounds && !failed; round++) {
    std::fprintf(stderr, "round %d/%d\r", round + 1, rounds);
    base_stock.add(run(lua_args(stock, tmp / "empty.lua")));
    base_ours.add(run(lua_args(zklua, tmp / "empty.lua")));
    if (hook) base_hook.add(run({zklua, "-budget", (tmp / "empty.lua").string()}));
    if (console) {
      base_cart.add(run(cart_args(tmp / "empty.zk")));
    }
    for (const auto& n : names) {
      fs::path file = fs::path(ZK_SUITE_WORKLOADS) / (n + ".lua");
      run_result s = run(lua_args(stock, file));
      run_result o = run(lua_args(zklua, file));
      if (!s.ok || !o.ok) fail(n + ": " + (s.ok ? "zklua" : stock) + " failed");
      if (trim(s.out) != trim(o.out)) fail(n + ": checksums differ: stock " + trim(s.out) + ", ours " + trim(o.out));
      sums[n] = trim(o.out);
      t_stock[n].add(s);
      t_ours[n].add(o);
      if (hook) {
        run_result h = run({zklua, "-budget", file.string()});
        if (!h.ok || trim(h.out) != sums[n]) fail(n + ": zklua -budget failed or disagrees");
        t_hook[n].add(h);
      }
      if (console) {
        fs::remove_all(home / "cdata");
        run_result c = run(cart_args(tmp / (n + ".zk")));
        std::string sum = cart_checksum(home);
        if (!c.ok) fail(n + ": the console run failed");
        else if (sum != sums[n]) fail(n + ": console checksum " + sum + ", zklua " + sums[n]);
        t_cart[n].add(c);
      }
    }
  }
  fs::remove_all(tmp);
  if (failed) return 1;

  const char* unit = g_metric == metric::wall ? "wall seconds"
                     : g_metric == metric::cpu ? "cpu seconds"
                                               : "billions of instructions";
  double b_stock = median(base_stock.t), b_ours = median(base_ours.t), b_cart = median(base_cart.t);
  std::printf("Interpreter suite: median %s over %d round(s), start-up taken out\n", unit, rounds);
  std::printf("start-up: stock %.3f, zklua %.3f", b_stock, b_ours);
  if (console) std::printf(", console %.3f", b_cart);
  std::printf("\n\n");
  std::printf("%-12s %9s %9s %7s  %-13s %s\n", "workload", "stock", "ours", "ratio", "range", "checksum");
  double log_sum = 0;
  for (const auto& n : names) {
    ratio r = ratio_of(t_stock[n], b_stock, t_ours[n], b_ours);
    log_sum += std::log(r.mid);
    std::printf("%-12s %9.3f %9.3f %6.2fx  %.2f-%.2f     %s\n", n.c_str(), median(t_stock[n].t) - b_stock,
                median(t_ours[n].t) - b_ours, r.mid, r.lo, r.hi, sums[n].c_str());
  }
  std::printf("%-12s %9s %9s %6.2fx\n", "geomean", "", "", std::exp(log_sum / names.size()));

  if (console) {
    double b_hook = median(base_hook.t);
    std::printf("\nUnder the CPU budget, over zklua: the count hook and frame yields alone\n"
                "(zklua -budget), and inside the console (cart, -x -fast: the hook, the\n"
                "host loop's frames, the collection before each slice)\n\n");
    std::printf("%-12s %8s %8s %8s  %-22s %s\n", "workload", "zklua", "hook", "cart", "hook over zklua",
                "console over zklua");
    // "+4.2%  +1% to +7%", or "n/a" without figures
    auto over = [](const ratio& r) {
      if (r.mid <= 0) return std::string("n/a");
      char t[48];
      std::snprintf(t, sizeof t, "%+6.1f%%  %+.0f%% to %+.0f%%", (r.mid - 1) * 100, (r.lo - 1) * 100, (r.hi - 1) * 100);
      return std::string(t);
    };
    ratio worst_hook, worst_cart;
    for (const auto& n : names) {
      ratio h = ratio_of(t_hook[n], b_hook, t_ours[n], b_ours);
      ratio c = ratio_of(t_cart[n], b_cart, t_ours[n], b_ours);
      if (h.mid > worst_hook.mid) worst_hook = h;
      if (c.mid > worst_cart.mid) worst_cart = c;
      std::printf("%-12s %8.3f %8.3f %8.3f  %-22s %s\n", n.c_str(), median(t_ours[n].t) - b_ours,
                  hook ? median(t_hook[n].t) - b_hook : 0.0, median(t_cart[n].t) - b_cart, over(h).c_str(),
                  over(c).c_str());
    }
    std::printf("%-12s %8s %8s %8s  %-22s %s\n", "worst", "", "", "", over(worst_hook).c_str(), over(worst_cart).c_str());
  }
  return 0;
}

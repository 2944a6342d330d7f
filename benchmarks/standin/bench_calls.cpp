// bench_calls: what one call of a toolbox function costs in the stand-in
// host, against its hand-written twin and against the baseline MEX function,
// all built the same way.
//
//   bench_calls [--instructions=FILE] [benchmark flags]
//       times every case (best of the repetitions) and prints the tables;
//       FILE holds callgrind counts per case, per call:
//       "label module-Ir sdk-Ir twin-Ir" (0 where there is none)
//   bench_calls --count=LABEL[:sdk|:twin] --calls=N
//       N calls of one case (or of its SDK calls alone, or of its twin), for
//       callgrind
//   bench_calls --long-run=N
//       N calls of each polling function, resident memory before and after
#include <benchmark/benchmark.h>

#include <alloca.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "brelkccd_sim.h"
#include "harness.h"
#include "mexhost.h"

// One counted call: callgrind collects only in here
// (--toggle-collect=brelkbench_counted).
extern "C" __attribute__((noinline)) void brelkbench_counted(brelkbench::Prepared* p, bool sdk) {
  sdk ? p->callSdk() : p->call();
}

// A counted call `shift` bytes deeper down the stack. libc's string
// functions take a slower path for text near the end of a page, and the
// simulator compares keys built on the stack: at one fixed depth a module and
// its twin, whose stacks differ, would each hit or miss it by chance.
__attribute__((noinline)) void countedAt(size_t shift, brelkbench::Prepared* p, bool sdk) {
  volatile char* pad = static_cast<char*>(alloca(shift + 1));
  pad[0] = 0;
  brelkbench_counted(p, sdk);
}

namespace {

using brelkbench::Case;
using brelkbench::Prepared;

// Best time per iteration of each benchmark over its repetitions, in ns.
class BestOf : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double ns = run.GetAdjustedRealTime();
      auto it = best.find(run.run_name.function_name);
      if (it == best.end() || ns < it->second) best[run.run_name.function_name] = ns;
    }
  }
  std::map<std::string, double> best;
};

void timeModule(benchmark::State& state, Prepared* p) {
  for (auto _ : state) p->call();
}

void timeSdk(benchmark::State& state, Prepared* p) {
  for (auto _ : state) p->callSdk();
}

const char* journalNote() { return "Simulator journal: off (BrelkSimSetJournal)."; }

struct Counts {
  double module = 0, sdk = 0, twin = 0;
};

std::map<std::string, Counts> readCounts(const std::string& file) {
  std::map<std::string, Counts> counts;
  std::ifstream in(file);
  std::string label;
  Counts c;
  while (in >> label >> c.module >> c.sdk >> c.twin) counts[label] = c;
  return counts;
}

// Each twinned module against its twin, by instructions and by time; then
// the worst instruction ratio, the figure the frame is held to.
void printTwinTable(const std::vector<const Case*>& twinned, const std::map<std::string, Counts>& counts,
                    std::map<std::string, double>& best) {
  std::printf("%-38s | %25s | %25s\n", "", "instructions per call", "time per call");
  std::printf("%-38s | %8s %8s %7s | %8s %8s %7s\n", "function (camera ID)", "module", "twin", "ratio", "module",
              "twin", "ratio");
  double worst = 0;
  const char* worstTitle = "-";
  for (const Case* c : twinned) {
    const auto it = counts.find(c->label);
    const double ir = it != counts.end() ? it->second.module : 0;
    const double irTwin = it != counts.end() ? it->second.twin : 0;
    const double t = best["module/" + std::string(c->label)];
    const double tTwin = best["twin/" + std::string(c->label)];
    char irRatio[16] = "-", tRatio[16] = "-";
    if (ir > 0 && irTwin > 0) {
      std::snprintf(irRatio, sizeof irRatio, "%.3f", ir / irTwin);
      if (ir / irTwin > worst) {
        worst = ir / irTwin;
        worstTitle = c->title;
      }
    }
    if (t > 0 && tTwin > 0) std::snprintf(tRatio, sizeof tRatio, "%.3f", t / tTwin);
    std::printf("%-38s | %8.0f %8.0f %7s | %5.0f ns %5.0f ns %7s\n", c->title, ir, irTwin, irRatio, t, tTwin, tRatio);
  }
  std::printf("worst instruction ratio to hand-written: %.3f (%s)\n", worst, worstTitle);
}

long long fileSize(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

std::string flagValue(int& argc, char** argv, const char* name) {
  const size_t len = std::strlen(name);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], name, len) == 0 && argv[i][len] == '=') {
      std::string value = argv[i] + len + 1;
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      return value;
    }
  }
  return "";
}

int timeAll(int argc, char** argv, const std::string& countsFile) {
  std::vector<std::unique_ptr<Prepared>> prepared, twins;
  std::vector<const Case*> twinned;
  for (const Case& c : brelkbench::cases()) {
    if (std::strcmp(c.label, "temperature") == 0) continue;  // the long run's
    prepared.push_back(std::make_unique<Prepared>(c));
    Prepared* p = prepared.back().get();
    benchmark::RegisterBenchmark((std::string("module/") + c.label).c_str(), timeModule, p);
    if (c.sdk) benchmark::RegisterBenchmark((std::string("sdk/") + c.label).c_str(), timeSdk, p);
    if (c.twinned) {
      twins.push_back(std::make_unique<Prepared>(c, brelkbench::Build::Twin));
      benchmark::RegisterBenchmark((std::string("twin/") + c.label).c_str(), timeModule, twins.back().get());
      twinned.push_back(&c);
    }
  }
  benchmark::Initialize(&argc, argv);
  brelkbench::prepareSdk();
  for (const auto* list : {&prepared, &twins}) {
    for (const auto& p : *list) {
      std::string printed;
      if (p->check(printed) != p->which().status) {
        std::fprintf(stderr, "bench_calls: %s answered otherwise than expected: %s", p->path().c_str(),
                     printed.c_str());
        return 1;
      }
    }
  }
  BestOf reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const std::map<std::string, Counts> counts = countsFile.empty() ? std::map<std::string, Counts>{}
                                                                  : readCounts(countsFile);
  printTwinTable(twinned, counts, reporter.best);
  std::printf("\nAgainst the empty MEX function: ratio = figure / baseline figure\n");
  // Ratios to the baseline, of the whole call and of the call less its SDK
  // calls made alone: the second is what the toolbox and the host add.
  const double base = reporter.best["module/baseline"];
  const double baseIr = counts.count("baseline") ? counts.at("baseline").module : 0;
  auto ratio = [](double value, double baseline) {
    char text[16] = "-";
    if (baseline > 0 && value > 0) std::snprintf(text, sizeof text, "%.2f", value / baseline);
    return std::string(text);
  };
  auto figure = [](double value, const char* unit) {
    char text[24] = "-";
    if (value > 0) std::snprintf(text, sizeof text, "%.0f%s", value, unit);
    return std::string(text);
  };
  std::printf("%-38s | %15s | %15s | %8s %8s | %7s %7s | %8s\n", "", "ratio, time", "ratio, instr.", "time",
              "SDK", "instr.", "SDK", "");
  std::printf("%-38s | %6s %8s | %6s %8s | %8s %8s | %7s %7s | %8s\n", "function (camera ID)", "call", "w/o SDK",
              "call", "w/o SDK", "per call", "alone", "/call", "alone", "file");
  for (const auto& p : prepared) {
    const Case& c = p->which();
    const double t = reporter.best["module/" + std::string(c.label)];
    const double tSdk = c.sdk ? reporter.best["sdk/" + std::string(c.label)] : 0;
    const auto it = counts.find(c.label);
    const double ir = it != counts.end() ? it->second.module : 0;
    const double irSdk = c.sdk && it != counts.end() ? it->second.sdk : 0;
    std::printf("%-38s | %6s %8s | %6s %8s | %8s %8s | %7s %7s | %4.1f KiB\n", c.title, ratio(t, base).c_str(),
                ratio(t - tSdk, base).c_str(), ratio(ir, baseIr).c_str(), ratio(ir - irSdk, baseIr).c_str(),
                figure(t, " ns").c_str(), figure(tSdk, " ns").c_str(), figure(ir, "").c_str(),
                figure(irSdk, "").c_str(), static_cast<double>(fileSize(p->path())) / 1024.0);
  }
  std::printf("%s\n", journalNote());
  return base > 0 ? 0 : 1;
}

// N counted calls of one case (or of its SDK calls alone), after uncounted
// ones that load and warm everything.
int count(const std::string& what, long calls) {
  const size_t colon = what.find(':');
  const std::string part = colon != std::string::npos ? what.substr(colon + 1) : "";
  const bool sdk = part == "sdk";
  const bool twin = part == "twin";
  const Case* c = brelkbench::findCase(what.substr(0, colon));
  if (!c || calls <= 0 || !(part.empty() || sdk || twin) || (twin && !c->twinned)) {
    std::fprintf(stderr, "bench_calls: --count=LABEL[:sdk|:twin] --calls=N with a known label\n");
    return 2;
  }
  // Module and twin are both loaded, whichever is counted, so that the heap
  // is laid out alike: where it puts the SDK's strings decides whether
  // libc's memcmp takes its slower page-crossing path on every call.
  Prepared module(*c);
  std::unique_ptr<Prepared> twinned;
  if (c->twinned) twinned = std::make_unique<Prepared>(*c, brelkbench::Build::Twin);
  Prepared& p = twin ? *twinned : module;
  brelkbench::prepareSdk();
  for (int i = 0; i < 100; ++i) sdk ? p.callSdk() : p.call();
  // Every 16-byte stack position in a page, in turn.
  for (long i = 0; i < calls; ++i) countedAt(static_cast<size_t>(i % 256) * 16, &p, sdk);
  return 0;
}

int longRun(long calls) {
  brelkbench::prepareSdk();
  std::printf("%-24s %10s %12s %12s %12s %10s\n", "function", "calls", "VmRSS before", "VmRSS after",
              "arrays alive", "time/call");
  for (const char* label : {"temperature", "cfwstatus"}) {
    Prepared p(*brelkbench::findCase(label));
    const auto run = [&p](long n) {
      for (long i = 0; i < n; ++i) p.call();
    };
    run(10000);  // loaded and its pages touched
    brelkbench::residentKiB();  // its own first reading takes memory too
    const long before = brelkbench::residentKiB();
    const auto start = std::chrono::steady_clock::now();
    const size_t arrays = mexhost_live_arrays();
    run(calls);
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    const long after = brelkbench::residentKiB();
    std::printf("%-24s %10ld %9ld KiB %9ld KiB %5zu -> %-4zu %7.0f ns\n", p.which().module, calls, before, after,
                arrays, mexhost_live_arrays(), took.count() / static_cast<double>(calls));
  }
  std::printf("%s\n", journalNote());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // MATLAB's allocator hands out small arrays from its heap; the stand-in
  // host's default of a guard page per array would time mmap instead.
  setenv("MEXHOST_ARRAY_DATA", "heap", 0);
  const std::string longCalls = flagValue(argc, argv, "--long-run");
  if (!longCalls.empty()) return longRun(std::atol(longCalls.c_str()));
  const std::string what = flagValue(argc, argv, "--count");
  if (!what.empty()) return count(what, std::atol(flagValue(argc, argv, "--calls").c_str()));
  return timeAll(argc, argv, flagValue(argc, argv, "--instructions"));
}

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ratio.h"

namespace novu::bench {
namespace {

struct Ratio {
  std::string name, ours, anchor;
  double target;
};

std::vector<Ratio>& Ratios() {
  static std::vector<Ratio> ratios;
  return ratios;
}

// Console output as usual, and the time per iteration of every run kept for the ratios.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: colour codes (a reporter made here ignores --benchmark_color) would end up in
  // front of the ratio lines printed after the table.
  RecordingReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  const std::map<std::string, double>& times() const { return times_; }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

void RegisterRatio(std::string name, std::string ours, std::string anchor, double target) {
  Ratios().push_back({std::move(name), std::move(ours), std::move(anchor), target});
}

}  // namespace novu::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  novu::bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto& times = reporter.times();
  int missing = 0;
  for (const auto& ratio : novu::bench::Ratios()) {
    auto ours = times.find(ratio.ours);
    auto anchor = times.find(ratio.anchor);
    if (ours == times.end() || anchor == times.end() || anchor->second <= 0) {
      std::fprintf(stderr, "ratio %s: benchmark %s or %s did not run\n", ratio.name.c_str(),
                   ratio.ours.c_str(), ratio.anchor.c_str());
      ++missing;
      continue;
    }
    std::printf("ratio %s %.3f %g\n", ratio.name.c_str(), ours->second / anchor->second,
                ratio.target);
  }
  return missing == 0 ? 0 : 1;
}

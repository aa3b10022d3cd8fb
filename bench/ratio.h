#pragma once
// Ratio lines: a benchmark registers "ours against anchor" pairs; after the run the shared main()
// prints `ratio NAME VALUE TARGET` where VALUE = time(ours) / time(anchor), lower is better.
#include <string>

namespace novu::bench {

// `ours` and `anchor` are full benchmark names as Google Benchmark reports them
// (e.g. "BM_DrawAlpha/800/600"). Call from a static initialiser or before the run.
void RegisterRatio(std::string name, std::string ours, std::string anchor, double target);

struct RatioRegistration {
  RatioRegistration(std::string name, std::string ours, std::string anchor, double target) {
    RegisterRatio(std::move(name), std::move(ours), std::move(anchor), target);
  }
};

}  // namespace novu::bench

#define NOVU_BENCH_CAT2(a, b) a##b
#define NOVU_BENCH_CAT(a, b) NOVU_BENCH_CAT2(a, b)
#define NOVU_RATIO(name, ours, anchor, target)                                              \
  static ::novu::bench::RatioRegistration NOVU_BENCH_CAT(novu_ratio_, __LINE__)(name, ours, \
                                                                                anchor, target)

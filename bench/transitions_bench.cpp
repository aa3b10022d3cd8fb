// The mean step of every transition kind at 32 bits, over the whole duration in 15 ms frames,
// against one full-screen DrawAlpha of the same size in the same run. Kinds that build tables
// or blurred copies when they start also report that construction on its own.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "ratio.h"
#include "render/dibx.h"
#include "transitions/wipe_factory.h"

namespace {

using novu::render::TDIBX;
using namespace novu::transitions;

constexpr int32_t kDuration = 1000;
constexpr int32_t kFrame = 15;

const char* const kKindNames[] = {
    "WP_FADE",      "WP_BLINDH",      "WP_BLINDV",    "WP_CURTAINH", "WP_CURTAINV", "WP_SCROLLH",
    "WP_SCROLLV",   "WP_GRID",        "WP_GRIDH",     "WP_GRIDV",    "WP_DITHER",   "WP_WHITE",
    "WP_BLACK",     "WP_FLASH",       "WP_MOSAIC",    "WP_SUDAREH",  "WP_SUDAREV",  "WP_SPOT",
    "WP_MASKFADE",  "WP_MASKWHITE",   "WP_MASKBLACK", "WP_SMALL",    "WP_BIG",      "WP_RIPPLE",
    "WP_BLURWHITE", "WP_BLURBLACK",   "WP_TWISTH",    "WP_TWISTV",   "WP_CRACK",    "WP_ZOOMIN",
    "WP_CLOCKHAND", "WP_RUBBERH",     "WP_RUBBERV",   "WP_FAN",      "WP_WFAN",     "WP_CIRCLE",
    "WP_BLOCKCOIL", "WP_BLOCKRANDOM",
};
static_assert(std::size(kKindNames) == kLastWipeKind);

struct Pictures {
  TDIBX from, to, target;
  Pictures(int w, int h) {
    std::mt19937 rng(static_cast<uint32_t>(w * 7 + h));
    for (TDIBX* p : {&from, &to, &target}) p->SetSize(w, h, 32);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        from.SetPixel(x, y, rng() & 0xFFFFFFu);
        to.SetPixel(x, y, rng() & 0xFFFFFFu);
      }
    }
    target.Assign(from);
  }
};

std::unique_ptr<TCustomWipe> Begin(int32_t kind, Pictures& p) {
  auto wipe = CreateWipe(kind, p.target, p.from, p.to);
  wipe->SetDuration(kDuration);
  wipe->SetReverse(false);  // as a flip does: the spot light builds its table here
  wipe->Prepare();
  return wipe;
}

void DrawAlphaFull(benchmark::State& state, int w, int h) {
  Pictures p(w, h);
  const novu::Rect all{0, 0, w, h};
  int alpha = 1;
  for (auto _ : state) {
    p.target.DrawAlpha(0, 0, alpha, {}, all, p.to);
    alpha = alpha % 254 + 1;
  }
  benchmark::DoNotOptimize(p.target.GetPixel(0, 0));
}

// Steps through the duration in frames; a finished transition starts over (outside the timing).
void Steps(benchmark::State& state, int32_t kind, int w, int h) {
  Pictures p(w, h);
  auto wipe = Begin(kind, p);
  int32_t elapsed = 0;
  for (auto _ : state) {
    wipe->SetElapsed(elapsed);
    wipe->Step();
    elapsed += kFrame;
    if (elapsed >= kDuration) {
      state.PauseTiming();
      wipe = Begin(kind, p);
      elapsed = 0;
      state.ResumeTiming();
    }
  }
  benchmark::DoNotOptimize(p.target.GetPixel(0, 0));
}

void Construction(benchmark::State& state, int32_t kind, int w, int h) {
  Pictures p(w, h);
  for (auto _ : state) {
    auto wipe = Begin(kind, p);
    benchmark::DoNotOptimize(wipe.get());
  }
}

std::string Size(int w, int h) {
  return std::to_string(w) + "/" + std::to_string(h);
}

bool BuildsOnStart(int32_t kind) {
  return kind == WP_BLURWHITE || kind == WP_BLURBLACK || kind == WP_SPOT || kind == WP_RIPPLE ||
         kind == WP_MASKFADE || kind == WP_DITHER || kind == WP_BLOCKRANDOM;
}

const bool registered = [] {
  for (const auto& [w, h] : {std::pair{800, 600}, std::pair{1280, 720}}) {
    const std::string anchor = "BM_DrawAlpha/" + Size(w, h);
    benchmark::RegisterBenchmark(anchor.c_str(), DrawAlphaFull, w, h)
        ->Unit(benchmark::kMicrosecond);
    for (int32_t kind = kFirstWipeKind; kind <= kLastWipeKind; ++kind) {
      const std::string name = kKindNames[kind - 1];
      const std::string step = "BM_TransitionStep/" + name + "/" + Size(w, h);
      benchmark::RegisterBenchmark(step.c_str(), Steps, kind, w, h)->Unit(benchmark::kMicrosecond);
      novu::bench::RegisterRatio(
          "Transition/" + name + "/DrawAlpha-" + std::to_string(w) + "x" + std::to_string(h), step,
          anchor, 3);
      if (BuildsOnStart(kind)) {
        const std::string start = "BM_TransitionStart/" + name + "/" + Size(w, h);
        benchmark::RegisterBenchmark(start.c_str(), Construction, kind, w, h)
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  return true;
}();

}  // namespace

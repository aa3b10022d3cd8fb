// One step of the effects against an 800 × 600 blend measured in the same run: the fire's heat
// field of 640 × 480 cells.
#include <benchmark/benchmark.h>

#include <random>

#include "core/process_random.h"
#include "ratio.h"
#include "render/dibx.h"
#include "render/fire_field.h"

namespace {

using namespace novu;

void BM_FireStep640x480(benchmark::State& bench) {
  ProcessRandom random(3);
  render::FireField fire;
  fire.SetDecay(render::FireDecayDivisor(128));
  fire.Reset(640, 480, random);
  for (int i = 0; i < 50; ++i) fire.Step();  // a burning field, not the cold start
  for (auto _ : bench) fire.Step();
  benchmark::DoNotOptimize(fire.heat().ScanLine(240)[320]);
}
BENCHMARK(BM_FireStep640x480)->Unit(benchmark::kMicrosecond);

void BM_EffectsDrawAlpha800x600(benchmark::State& bench) {
  constexpr int kWidth = 800, kHeight = 600;
  render::TDIBX screen, picture;
  screen.SetSize(kWidth, kHeight, 32);
  picture.SetSize(kWidth, kHeight, 32);
  std::mt19937 rng(7);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) picture.SetPixel(x, y, rng() & 0xFFFFFF);
  }
  const Rect all{0, 0, kWidth, kHeight};
  for (auto _ : bench) screen.DrawAlpha(0, 0, 128, {}, all, picture);
  benchmark::DoNotOptimize(screen.GetPixel(400, 300));
}
BENCHMARK(BM_EffectsDrawAlpha800x600)->Unit(benchmark::kMicrosecond);

NOVU_RATIO("Fire-640x480-step/DrawAlpha-800x600", "BM_FireStep640x480",
           "BM_EffectsDrawAlpha800x600", 1.0);

}  // namespace

// One step of the effects against an 800 × 600 blend measured in the same run: the fire's heat
// field of 640 × 480 cells, and an emitter moving 2000 snow particles.
#include <benchmark/benchmark.h>

#include <random>

#include "controls/control_factory.h"
#include "controls/fipo_collection.h"
#include "controls/novu_particle.h"
#include "core/process_random.h"
#include "core/process_state.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
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

// 2000 snow particles falling through a tall emitter; the delay expression lets the pre-roll
// make them 2 ms apart and then emits no more, so every step moves the same 2000 (give or take
// the few of the last frame).
void BM_ParticlesStep2000(benchmark::State& bench) {
  ProcessState process;
  TFipoCollection cache([](std::string_view) { return std::nullopt; });
  TParamCollection vars;
  TNovuBaseList list(MakeControlFactory(ImageEnvironment{&cache, &process, &vars}));
  list.SetProcessState(&process);
  list.SetSize(800, 600);
  auto object = list.CreateByType(LT_PARTICLE);
  auto& emitter = dynamic_cast<TNovuParticle&>(*object);
  list.base(0).AddChild(std::move(object));
  emitter.SetName("snow");
  emitter.SetBounds(0, 0, 800, 1 << 30);
  TNovuParser x, y, delay;
  x.LoadFromText("Random(800)");
  y.LoadFromText("0");
  delay.LoadFromText("2");
  emitter.SetExpressions(&x, &y, &delay);
  emitter.SetProperty(PR_SOURCE, std::string("flake.fip"));
  emitter.SetProperty(PR_PARTMOTION, PM_SNOW);
  emitter.SetProperty(PR_PARAM1, 0.5L);
  emitter.SetProperty(PR_PARAM2, 3.0L);
  emitter.SetProperty(PR_INDEX, 3900);
  process.frame_delta = TNovuParticle::kStepMs;
  while (emitter.ParticleCount() < 2000) emitter.Update();
  delay.LoadFromText("1000000000");
  emitter.SetExpressions(nullptr, nullptr, &delay);
  emitter.Update();
  if (emitter.ParticleCount() > 2010) bench.SkipWithError("not about 2000 particles");
  for (auto _ : bench) emitter.Update();
  benchmark::DoNotOptimize(emitter.ParticleCount());
}
BENCHMARK(BM_ParticlesStep2000)->Unit(benchmark::kMicrosecond);

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
NOVU_RATIO("Particles-2000-step/DrawAlpha-800x600", "BM_ParticlesStep2000",
           "BM_EffectsDrawAlpha800x600", 1.0);

}  // namespace

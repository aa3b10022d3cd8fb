// One tick of a message window that fills an 800 x 600 screen: every glyph of a full page is
// fading in at once (the reveal takes them all in its first frame, the fade takes a second), so
// each tick raises the alpha of about 800 glyphs, invalidates the window and composes the page
// onto the repainted screen. The anchor is one full-screen DrawAlpha of a picture; the window's
// tick should cost at most twice that. Glyph rendering (once per page) is not what is measured:
// the glyphs come from the fixed test source.
#include <benchmark/benchmark.h>

#include <random>

#include "controls/control_factory.h"
#include "controls/novu_mes.h"
#include "core/process_state.h"
#include "objects/base_list.h"
#include "platform/glyph_source.h"
#include "ratio.h"
#include "render/dibx.h"
#include "text/font_pixel.h"

namespace {

using namespace novu;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct RevealScene {
  RevealScene()
      : glyphs(std::make_unique<platform::FixedGlyphSource>()),
        list(MakeControlFactory(ImageEnvironment{nullptr, &state, nullptr, nullptr, &glyphs})) {
    state.frame_delta = 15;
    list.SetSize(kWidth, kHeight);
    list.SetProcessState(&state);
    list.base(0).SetColor(0x336699);
    auto object = list.CreateByType(LT_MES);
    mes = static_cast<TNovuMes*>(object.get());
    list.base(0).AddChild(std::move(object));
    mes->SetProperty(PR_WIDTH, kWidth);
    mes->SetProperty(PR_HEIGHT, kHeight);
    mes->SetProperty(PR_FONTHEIGHT, 24);
    mes->SetProperty(PR_FONTCOLOR, 0xFFFFFF);
    mes->SetProperty(PR_DELAY, 1000);
    std::string markup = "<WAIT VALUE=0>";
    for (int i = 0; i < 33 * 25; ++i) markup += "\x8a\xbf";  // a kanji
    page = markup;
    Restart();
  }

  void Restart() {
    mes->SetProperty(PR_TEXT, page);
    // The counting-down frame and the frame that takes every glyph.
    Tick();
    Tick();
  }
  void Tick() {
    state.game_clock += 15;
    list.Update();
    list.Paint();
    list.ClearDirty();  // presented
  }

  ProcessState state;
  text::TFontPixelManager glyphs;
  TNovuBaseList list;
  TNovuMes* mes = nullptr;
  std::string page;
};

void BM_MesRevealTick(benchmark::State& bench) {
  RevealScene scene;
  for (auto _ : bench) {
    if (scene.mes->Finished()) {
      bench.PauseTiming();
      scene.Restart();
      bench.ResumeTiming();
    }
    scene.Tick();
  }
  benchmark::DoNotOptimize(scene.list.ScreenSurface().GetPixel(400, 300));
}
BENCHMARK(BM_MesRevealTick)->Unit(benchmark::kMicrosecond);

void BM_MesDrawAlpha800x600(benchmark::State& bench) {
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
BENCHMARK(BM_MesDrawAlpha800x600)->Unit(benchmark::kMicrosecond);

NOVU_RATIO("MesRevealTick/DrawAlpha-800x600", "BM_MesRevealTick", "BM_MesDrawAlpha800x600", 2.0);

}  // namespace

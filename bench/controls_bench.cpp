// One drawn tick of the demo's scene on an 800 x 600 screen (a sky picture over the whole
// screen, a tiled floor with gaps, an additive panel, a masked four-frame animation and a
// zoomed, turned, half-transparent copy of it): the update pass, then a repaint of the whole
// screen, against one full-screen DrawAlpha of the same size.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_factory.h"
#include "controls/fipo_collection.h"
#include "controls/novu_box.h"
#include "controls/novu_images.h"
#include "controls/novu_tile.h"
#include "core/process_state.h"
#include "imagefmt/fipo_frame_list.h"
#include "objects/base_list.h"
#include "ratio.h"
#include "render/dibx.h"

namespace {

using novu::render::TDIBSurface;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A layered image of `count` frames painted by `paint(frame)`.
template <typename Paint>
std::vector<uint8_t> Fip(int count, Paint paint, int32_t duration) {
  novu::imagefmt::TFipoFrameList list;
  for (int i = 0; i < count; ++i) {
    novu::imagefmt::TFipoFrame& frame = list.AddFrame();
    frame.duration = duration;
    frame.picture = paint(i);
  }
  return list.SaveToStream({});
}

TDIBSurface Sky() {
  TDIBSurface sky(kWidth, kHeight, 32);
  for (int y = 0; y < kHeight; ++y) {
    const uint32_t t = static_cast<uint32_t>(y * 255 / (kHeight - 1));
    for (int x = 0; x < kWidth; ++x) sky.SetPixel(x, y, (20 + t / 3) << 16 | (30 + t / 2) << 8 | t);
  }
  return sky;
}

TDIBSurface Star(int frame) {
  TDIBSurface star(48, 48, 32);
  star.EnsureMask();
  const double radius = 14.0 + 3.0 * frame;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const double d = std::hypot(x - 24.0, y - 24.0);
      star.SetPixel(x, y, 0xFFC040u - static_cast<uint32_t>(frame) * 0x2000u);
      star.Mask()->SetPixel(x, y, d < radius ? 255u : d < radius + 1 ? 128u : 0u);
    }
  }
  return star;
}

TDIBSurface Floor() {
  TDIBSurface tile(16, 16, 32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) tile.SetPixel(x, y, (x / 8 + y / 8) % 2 ? 0x785028u : 0x5A3C1Eu);
  }
  return tile;
}

struct DemoScene {
  DemoScene()
      : cache([this](std::string_view name) -> std::optional<std::vector<uint8_t>> {
          const auto it = files.find(std::string(name));
          if (it == files.end()) return std::nullopt;
          return it->second;
        }),
        list(novu::MakeControlFactory({&cache, &state, nullptr})) {
    files["sky.fip"] = Fip(
        1, [](int) { return Sky(); }, 100);
    files["star.fip"] = Fip(4, Star, 150);
    files["floor.fip"] = Fip(
        1, [](int) { return Floor(); }, 100);
    list.SetSize(kWidth, kHeight);
    state.frame_delta = 15;

    auto& sky = Add<novu::TNovuImages>(novu::LT_IMAGES, "sky", 0);
    sky.SetProperty(novu::PR_SOURCE, std::string("sky.fip"));
    auto& floor = Add<novu::TNovuTile>(novu::LT_TILE, "floor", 1);
    floor.SetProperty(novu::PR_SOURCE, std::string("floor.fip"));
    floor.SetBounds(0, 480, kWidth, 120);
    floor.SetProperty(novu::PR_DISTANCEX, 20);
    floor.SetProperty(novu::PR_DISTANCEY, 20);
    auto& panel = Add<novu::TNovuBox>(novu::LT_BOX, "panel", 2);
    panel.SetBounds(40, 40, 240, 100);
    panel.SetColor(0xC08040);
    panel.SetProperty(novu::PR_ALPHA, 400);
    panel.SetProperty(novu::PR_BORDERWIDTH, 2);
    panel.SetProperty(novu::PR_BORDERCOLOR, 0xFFFFFF);
    auto& star = Add<novu::TNovuImages>(novu::LT_IMAGES, "star", 3);
    star.SetProperty(novu::PR_SOURCE, std::string("star.fip"));
    star.SetProperty(novu::PR_REPEAT, true);
    star.SetBounds(376, 276, 48, 48);
    auto& ghost = Add<novu::TNovuImages>(novu::LT_IMAGES, "ghost", 4);
    ghost.SetProperty(novu::PR_SOURCE, std::string("star.fip"));
    ghost.SetProperty(novu::PR_REPEAT, true);
    ghost.SetProperty(novu::PR_ZOOMX, 384);
    ghost.SetProperty(novu::PR_ZOOMY, 384);
    ghost.SetProperty(novu::PR_ANGLE, 32);
    ghost.SetProperty(novu::PR_ALPHA, 128);
    ghost.SetLeft(600);
    ghost.SetTop(150);
  }

  template <typename T>
  T& Add(novu::ComponentType type, const char* name, int32_t priority) {
    auto object = list.CreateByType(type);
    T& control = dynamic_cast<T&>(*object);
    list.base(0).AddChild(std::move(object));
    control.SetName(name);
    control.SetPriority(priority);
    return control;
  }

  std::map<std::string, std::vector<uint8_t>> files;
  novu::ProcessState state;
  novu::TFipoCollection cache;
  novu::TNovuBaseList list;
};

void BM_DemoSceneTick(benchmark::State& bench) {
  DemoScene scene;
  scene.list.Update();
  for (auto _ : bench) {
    scene.list.Update();
    scene.list.base(0).InvalidateAll();
    scene.list.Paint();
  }
  benchmark::DoNotOptimize(scene.list.ScreenSurface().GetPixel(400, 300));
}
BENCHMARK(BM_DemoSceneTick)->Unit(benchmark::kMicrosecond);

void BM_FullScreenDrawAlpha(benchmark::State& bench) {
  novu::render::TDIBX screen, picture;
  screen.SetSize(kWidth, kHeight, 32);
  picture.SetSize(kWidth, kHeight, 32);
  picture.Surface() = Sky();
  const novu::Rect all{0, 0, kWidth, kHeight};
  for (auto _ : bench) screen.DrawAlpha(0, 0, 128, {}, all, picture);
  benchmark::DoNotOptimize(screen.GetPixel(400, 300));
}
BENCHMARK(BM_FullScreenDrawAlpha)->Unit(benchmark::kMicrosecond);

NOVU_RATIO("DemoSceneTick/DrawAlpha", "BM_DemoSceneTick", "BM_FullScreenDrawAlpha", 4.0);

}  // namespace

// One frame of 20 overlapping translucent controls on an 800 x 600 screen: the object list's
// dirty-region repaint and the screen manager's present, against the same pixel operations (the
// background fill, 20 blended rectangles and the present of the changed area) called directly
// on a surface. The difference is what the object system costs.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "objects/base_list.h"
#include "platform/headless_window.h"
#include "ratio.h"
#include "render/dibx.h"
#include "shell/screen_manager.h"

namespace {

using novu::Rect;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kControls = 20;
constexpr int kAlpha = 160;

Rect ControlRect(int i) {
  return novu::MakeRect(20 + i * 22, 15 + i * 17, 300, 200);
}

uint32_t ControlColour(int i) {
  return 0x102030u * static_cast<uint32_t>(i + 1);
}

class BlendPanel final : public novu::TNovuControl {
 public:
  BlendPanel(novu::ObjectList* owner, uint32_t colour) : TNovuControl(owner), colour_(colour) {}

 protected:
  void DrawSelf(novu::render::TCustomDIBX& surface) override {
    surface.BlendRect(GetBoundsRect(), colour_, kAlpha);
  }

 private:
  uint32_t colour_;
};

void BM_ObjectListFrame(benchmark::State& bench) {
  novu::platform::HeadlessWindow window;
  novu::TScreenManager screens(window, kWidth, kHeight, kWidth, kHeight);
  novu::TNovuBaseList list;
  list.SetSize(kWidth, kHeight);
  list.SetScreenSurface(&screens.Surface());
  std::array<BlendPanel*, kControls> panels{};
  for (int i = 0; i < kControls; ++i) {
    auto panel = novu::MakeObject<BlendPanel>(&list, ControlColour(i));
    panels[static_cast<size_t>(i)] = panel.get();
    const Rect r = ControlRect(i);
    panel->SetBounds(r.left, r.top, r.Width(), r.Height());
    panel->SetPriority(i);
    list.base(0).AddChild(std::move(panel));
  }
  list.Paint();
  screens.Present(list);
  for (auto _ : bench) {
    for (BlendPanel* panel : panels) panel->Invalidate();
    list.Paint();
    screens.Present(list);
  }
  benchmark::DoNotOptimize(window.LastFrame().pixels);
}
BENCHMARK(BM_ObjectListFrame)->Unit(benchmark::kMicrosecond);

void BM_DirectSurfaceFrame(benchmark::State& bench) {
  novu::platform::HeadlessWindow window;
  novu::render::TDIBX surface;
  surface.SetSize(kWidth, kHeight, 32);
  Rect area = ControlRect(0);
  for (int i = 1; i < kControls; ++i) area = novu::Union(area, ControlRect(i));
  const novu::platform::PixelRect dirty[] = {novu::render::ToPixelRect(area)};
  window.Present(surface.PresentView(), {});
  for (auto _ : bench) {
    surface.FillRect(area, 0);
    for (int i = 0; i < kControls; ++i) surface.BlendRect(ControlRect(i), ControlColour(i), kAlpha);
    window.Present(surface.PresentView(), dirty);
  }
  benchmark::DoNotOptimize(window.LastFrame().pixels);
}
BENCHMARK(BM_DirectSurfaceFrame)->Unit(benchmark::kMicrosecond);

NOVU_RATIO("BasesFrame/direct", "BM_ObjectListFrame", "BM_DirectSurfaceFrame", 1.1);

}  // namespace

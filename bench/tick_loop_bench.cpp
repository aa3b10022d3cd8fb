// The cost of the tick machinery itself: an empty headless tick against a no-op call through a
// function pointer. A tick lasts 15 ms, so the machinery must cost nothing next to it.
#include <benchmark/benchmark.h>

#include "platform/message_box.h"
#include "ratio.h"
#include "shell/view.h"

namespace {

constexpr int kTicks = 10000;

struct NullWindow : novu::platform::Window {
  void SetTitle(std::string_view) override {}
  void SetPanelSize(int, int) override {}
  void SetFullScreen(bool) override {}
  bool IsFullScreen() const override { return false; }
  void SetToolbarVisible(bool) override {}
  void Present(const novu::platform::FrameView&,
               std::span<const novu::platform::PixelRect>) override {}
  void PollEvents(std::vector<novu::platform::InputEvent>&) override {}
};

void BM_HeadlessTicks(benchmark::State& bench) {
  novu::ProcessState state;
  state.terminate = false;
  novu::GameHooks hooks;
  NullWindow window;
  novu::platform::HeadlessMessageBoxes boxes;
  novu::TFormView view(state, hooks, window, boxes);
  view.SetProjectReady(true);
  for (auto _ : bench) {
    for (int i = 0; i < kTicks; ++i) {
      state.game_clock += 15;
      state.frame_delta = 15;
      view.Tick();
    }
    benchmark::DoNotOptimize(state.frame_counter);
  }
}
BENCHMARK(BM_HeadlessTicks);

void NoOp() {}

void BM_NoOpCalls(benchmark::State& bench) {
  void (*volatile call)() = &NoOp;
  for (auto _ : bench) {
    for (int i = 0; i < kTicks; ++i) call();
  }
}
BENCHMARK(BM_NoOpCalls);

NOVU_RATIO("HeadlessTick/noop-call", "BM_HeadlessTicks", "BM_NoOpCalls", 50);

}  // namespace

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless_window.h"

namespace novu::platform {
namespace {

// A frame filled with one value per pixel that tells its position (and a generation).
struct TestFrame {
  int width, height;
  std::vector<uint32_t> pixels;

  TestFrame(int w, int h, uint32_t generation) : width(w), height(h), pixels(w * h) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) pixels[y * w + x] = generation << 16 | y << 8 | x;
    }
  }
  FrameView TopDown() const { return {pixels.data(), width, height, width * 4}; }
  // The same picture stored bottom-up: the top row is the last one in memory.
  std::vector<uint32_t> BottomUpStorage() const {
    std::vector<uint32_t> storage(pixels.size());
    for (int y = 0; y < height; ++y) {
      std::copy_n(pixels.begin() + y * width, width, storage.begin() + (height - 1 - y) * width);
    }
    return storage;
  }
};

uint32_t Pixel(const FrameView& f, int x, int y) {
  return *reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(f.pixels) +
                                            y * f.pitch + x * 4);
}

TEST(HeadlessWindow, KeepsACopyOfThePresentedFrame) {
  HeadlessWindow window;
  EXPECT_EQ(window.LastFrame().pixels, nullptr);
  auto frame = std::make_unique<TestFrame>(8, 4, 1);
  window.Present(frame->TopDown(), {});
  const std::vector<uint32_t> expected = frame->pixels;
  frame.reset();  // the caller's buffer is gone; the copy must stay
  FrameView kept = window.LastFrame();
  ASSERT_EQ(kept.width, 8);
  ASSERT_EQ(kept.height, 4);
  EXPECT_EQ(kept.pitch, 32);
  EXPECT_EQ(std::vector<uint32_t>(kept.pixels, kept.pixels + 32), expected);
}

TEST(HeadlessWindow, TakesOnlyTheDirtyRectangles) {
  HeadlessWindow window;
  TestFrame first(8, 4, 1);
  window.Present(first.TopDown(), {});
  TestFrame second(8, 4, 2);
  const PixelRect dirty[] = {{1, 1, 3, 2}, {6, 3, 100, 100}, {-5, -5, 0, 0}};
  window.Present(second.TopDown(), dirty);
  FrameView kept = window.LastFrame();
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inside = (y == 1 && x >= 1 && x < 3) || (y == 3 && x >= 6);
      EXPECT_EQ(Pixel(kept, x, y), (inside ? second : first).pixels[y * 8 + x]) << x << "," << y;
    }
  }
}

TEST(HeadlessWindow, StoresABottomUpFrameTopDown) {
  HeadlessWindow window;
  TestFrame picture(5, 3, 7);
  std::vector<uint32_t> storage = picture.BottomUpStorage();
  // The top row is the last row in memory; rows go up by one row's bytes.
  FrameView bottom_up{storage.data() + 2 * 5, 5, 3, -5 * 4};
  window.Present(bottom_up, {});
  FrameView kept = window.LastFrame();
  EXPECT_EQ(std::vector<uint32_t>(kept.pixels, kept.pixels + 15), picture.pixels);
}

TEST(HeadlessWindow, ANewSizeStartsOverWithTheWholeFrame) {
  HeadlessWindow window;
  TestFrame small(4, 2, 1);
  window.Present(small.TopDown(), {});
  TestFrame large(6, 3, 2);
  const PixelRect dirty[] = {{0, 0, 1, 1}};
  window.Present(large.TopDown(), dirty);
  FrameView kept = window.LastFrame();
  ASSERT_EQ(kept.width, 6);
  EXPECT_EQ(std::vector<uint32_t>(kept.pixels, kept.pixels + 18), large.pixels);
}

TEST(HeadlessWindow, IgnoresFramesItCannotRead) {
  HeadlessWindow window;
  TestFrame good(4, 2, 1);
  window.Present(good.TopDown(), {});
  TestFrame other(4, 2, 9);
  const FrameView bad[] = {
      {nullptr, 4, 2, 16},
      {other.pixels.data(), 0, 2, 16},
      {other.pixels.data(), 4, -2, 16},
      {other.pixels.data(), 4, 2, 8},  // rows overlap
      {other.pixels.data(), 4, 2, -8},
  };
  for (const FrameView& frame : bad) window.Present(frame, {});
  FrameView kept = window.LastFrame();
  EXPECT_EQ(std::vector<uint32_t>(kept.pixels, kept.pixels + 8), good.pixels);
}

TEST(HeadlessWindow, RecordsWhatTheShellAsks) {
  std::unique_ptr<Window> window = CreateHeadlessWindow();
  window->SetTitle("\x83\x65\x83\x58\x83\x67");  // テスト in CP932
  window->SetPanelSize(800, 600);
  window->SetFullScreen(true);
  window->SetToolbarVisible(false);
  std::vector<InputEvent> events;
  window->PollEvents(events);
  EXPECT_TRUE(events.empty());
  auto& headless = static_cast<HeadlessWindow&>(*window);
  EXPECT_EQ(headless.Title(), "\x83\x65\x83\x58\x83\x67");
  EXPECT_EQ(headless.PanelWidth(), 800);
  EXPECT_EQ(headless.PanelHeight(), 600);
  EXPECT_TRUE(window->IsFullScreen());
  EXPECT_FALSE(headless.ToolbarVisible());
}

}  // namespace
}  // namespace novu::platform

// The object list runs at most one screen transition: it starts on a flip with a kind, draws a
// step into the screen every paint with the elapsed time it was given, presents the step's
// rectangle and is gone when the screens switch, the list is reset or resized.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "objects/base_list.h"

namespace novu {
namespace {

struct Record {
  int made = 0;
  int freed = 0;
  std::vector<int32_t> steps;
  ScreenTransitionRequest request;
  uint32_t from_pixel = 0;  // the old picture's pixel when the transition was made
  const render::TCustomDIBX* to = nullptr;
};

class FakeTransition final : public ScreenTransition {
 public:
  FakeTransition(Record& record, render::TCustomDIBX& screen) : record_(record), screen_(screen) {}
  ~FakeTransition() override { ++record_.freed; }
  void SetParam(int, int32_t) override {}
  void SetRuleName(std::string) override {}
  void Prepare() override {}
  bool Step(int32_t elapsed) override {
    record_.steps.push_back(elapsed);
    screen_.Clear(0x123456);
    return elapsed >= record_.request.duration;
  }
  Rect DirtyRect() const override { return {0, 0, screen_.Width(), screen_.Height()}; }

 private:
  Record& record_;
  render::TCustomDIBX& screen_;
};

ScreenTransitionMaker MakerFor(Record& record) {
  return [&record](const ScreenTransitionRequest& request, render::TCustomDIBX& screen,
                   const render::TCustomDIBX& from,
                   const render::TCustomDIBX& to) -> std::unique_ptr<ScreenTransition> {
    if (request.kind > 38) return nullptr;
    ++record.made;
    record.request = request;
    record.from_pixel = from.GetPixel(0, 0);
    record.to = &to;
    return std::make_unique<FakeTransition>(record, screen);
  };
}

TEST(BaseListTransition, AFlipWithAKindRunsOneTransitionUntilTheSwitch) {
  Record record;
  TNovuBaseList list;
  list.SetSize(16, 12);
  list.SetTransitionMaker(MakerFor(record));
  list.active_base().SetColor(0x0000FF);
  list.Paint();
  list.SetActiveBase(0, 12, true, true, 0, 300);
  ASSERT_NE(list.transition(), nullptr);
  EXPECT_EQ(record.request.kind, 12);
  EXPECT_TRUE(record.request.reverse);
  EXPECT_EQ(record.request.duration, 300);
  // The old picture is the screen as it stood; the new one is the other base's picture.
  EXPECT_EQ(record.from_pixel, static_cast<uint32_t>(list.ScreenSurface().ColorToPixel(0x0000FF)));
  EXPECT_EQ(record.to, &list.base(1).own_surface());

  list.AdvanceTransition(45);
  list.Paint();
  list.AdvanceTransition(90);
  list.Paint();
  EXPECT_EQ(record.steps, (std::vector<int32_t>{45, 90}));
  EXPECT_EQ(list.transition_rect(), (Rect{0, 0, 16, 12}));
  EXPECT_EQ(list.ScreenSurface().GetPixel(3, 3), 0x123456u);  // drawn by the step

  // A second flip frees the first transition; the switch frees the second and paints the new
  // base straight into the screen again.
  list.SetActiveBase(0, 1, false, true, 0, 300);
  EXPECT_EQ(record.made, 2);
  EXPECT_EQ(record.freed, 1);
  list.SetActiveBase(1, 0, false, true, 0, 0);
  EXPECT_EQ(list.transition(), nullptr);
  EXPECT_EQ(record.freed, 2);
  list.active_base().SetColor(0x00FF00);
  list.Paint();
  EXPECT_EQ(list.transition_rect(), (Rect{}));
  EXPECT_EQ(list.ScreenSurface().GetPixel(3, 3),
            static_cast<uint32_t>(list.ScreenSurface().ColorToPixel(0x00FF00)));
}

TEST(BaseListTransition, KindsWithoutATransitionResetsAndResizesSwitchAtOnce) {
  Record record;
  TNovuBaseList list;
  list.SetSize(16, 12);
  list.SetTransitionMaker(MakerFor(record));
  list.SetActiveBase(0, 99, false, true, 0, 300);
  EXPECT_EQ(list.transition(), nullptr);

  list.SetActiveBase(0, 3, false, true, 0, 300);
  ASSERT_NE(list.transition(), nullptr);
  list.SetSize(20, 10);  // the transition's tables no longer fit
  EXPECT_EQ(list.transition(), nullptr);

  list.SetActiveBase(0, 3, false, true, 0, 300);
  ASSERT_NE(list.transition(), nullptr);
  list.Reset();
  EXPECT_EQ(list.transition(), nullptr);
  EXPECT_EQ(record.made, record.freed);

  // Without a maker every flip is immediate.
  TNovuBaseList plain;
  plain.SetActiveBase(0, 5, false, true, 0, 300);
  EXPECT_EQ(plain.transition(), nullptr);
}

}  // namespace
}  // namespace novu

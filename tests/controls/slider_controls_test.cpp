#include <gtest/gtest.h>

#include "controls/novu_gauge.h"
#include "controls/novu_slider.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"
#include "old_records.h"
#include "platform/virtual_keys.h"

namespace novu {
namespace {

using testing::FrameSpec;
using testing::ImageScene;
using testing::MakeFip;
using testing::Raw32;
using testing::Solid;
using Strings = std::vector<std::string>;

// A bar of two 4 x 4 halves (blue, then green), a thumb of three 6 x 4 cells and buttons of six
// 6 x 6 cells, each cell a colour of its own.
struct SliderScene {
  SliderScene() {
    FrameSpec bar = Solid(testing::kBlue, 8, 4);
    bar.colour = [](int x, int) { return x < 4 ? testing::kBlue : testing::kGreen; };
    s.store.files["bar.fip"] = MakeFip({bar});
    FrameSpec thumb = Solid(0, 18, 4);
    thumb.colour = [](int x, int) { return 0x101010 * (x / 6 + 1); };
    s.store.files["thumb.fip"] = MakeFip({thumb});
    FrameSpec buttons = Solid(0, 36, 6);
    buttons.colour = [](int x, int) { return 0x000020 * (x / 6 + 1); };
    s.store.files["buttons.fip"] = MakeFip({buttons});
    s.list.SetProcessState(&s.state);
  }

  template <typename T>
  T& Add(ComponentType type, int32_t orientation, int32_t bar_size) {
    auto& c = s.Add<T>(type, type == LT_SLIDER ? "slider" : "scroll");
    c.SetProperty(PR_ORIENTATION, orientation);
    c.SetProperty(PR_SOURCE, std::string("bar.fip"));
    c.SetProperty(PR_THUMBSOURCE, std::string("thumb.fip"));
    c.SetProperty(PR_BUTTONSOURCE, std::string("buttons.fip"));
    c.SetProperty(PR_BARSIZE, bar_size);
    c.SetProperty(PR_MAX, 100);
    c.SetLeft(100);
    c.SetTop(50);
    c.SetProperty(PR_ONNOTIFY, std::string("n.nsb"));
    c.SetProperty(PR_ONHOLD, std::string("h.nsb"));
    c.SetProperty(PR_ONRELEASE, std::string("r.nsb"));
    return c;
  }

  // One input pass after the window reported the pointer at (x, y) and the left button's state.
  void Input(int32_t x, int32_t y, bool down) {
    s.list.input().MouseMove(x, y);
    const BaseMouseState& mouse = s.list.base(0).mouse();
    if (down && !mouse.left_held) s.list.input().MouseDown(true);
    if (!down && mouse.left_held) s.list.input().MouseUp();
    s.list.input().ProcessInput(15);
  }
  // The events posted so far as "event-id:arguments", then forgets them.
  Strings TakeEvents() {
    Strings out;
    for (const auto& e : s.list.queue().entries()) {
      std::string line = std::to_string(e.event_id) + ":";
      for (const std::string& a : e.arguments) line += a + ",";
      out.push_back(line);
    }
    s.list.queue().Clear();
    return out;
  }

  ImageScene s;
};

TEST(SliderGeometry, SizesAndPartsFollowThePicturesAndTheOrientation) {
  struct Case {
    ComponentType type;
    int32_t orientation;
    int32_t width, height;
    Rect bar, first_button, second_button;
  };
  // Bar 4 x 4 (length 40 from the bar size), thumb 6 x 4, buttons 6 x 6, at (100, 50).
  const Case cases[] = {
      {LT_SLIDER, OT_HORIZONTAL, 40 + 6 + 12, 6, MakeRect(109, 51, 40, 4), MakeRect(100, 50, 6, 6),
       MakeRect(152, 50, 6, 6)},
      {LT_SLIDER, OT_VERTICAL, 6, 40 + 4 + 12, MakeRect(101, 58, 4, 40), MakeRect(100, 50, 6, 6),
       MakeRect(100, 100, 6, 6)},
      {LT_SCROLLBAR, OT_HORIZONTAL, 40 + 12, 6, MakeRect(106, 51, 40, 4), MakeRect(100, 50, 6, 6),
       MakeRect(146, 50, 6, 6)},
      {LT_SCROLLBAR, OT_VERTICAL, 6, 40 + 12, MakeRect(101, 56, 4, 40), MakeRect(100, 50, 6, 6),
       MakeRect(100, 96, 6, 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int{c.type} << " orientation " << c.orientation);
    SliderScene scene;
    auto& slider = scene.Add<TNovuCustomSlider>(c.type, c.orientation, 40);
    EXPECT_EQ(slider.width(), c.width);
    EXPECT_EQ(slider.height(), c.height);
    const TNovuCustomSlider::Layout l = slider.GetLayout();
    EXPECT_EQ(l.bar, c.bar);
    EXPECT_EQ(l.first_button, c.first_button);
    EXPECT_EQ(l.second_button, c.second_button);
  }
  // Without a bar picture the control has no size.
  SliderScene scene;
  auto& bare = scene.s.Add<TNovuSlider>(LT_SLIDER, "bare");
  bare.SetProperty(PR_THUMBSOURCE, std::string("thumb.fip"));
  EXPECT_EQ(bare.width(), 0);
  EXPECT_EQ(bare.height(), 0);
}

TEST(SliderGeometry, AVerticalSliderHasItsMinimumAtTheBottom) {
  SliderScene scene;
  auto& slider = scene.Add<TNovuSlider>(LT_SLIDER, OT_VERTICAL, 200);
  slider.SetProperty(PR_VALUE, 75);
  EXPECT_EQ(slider.ThumbOffset(), 150);
  const TNovuCustomSlider::Layout l = slider.GetLayout();
  EXPECT_EQ(l.thumb.top + l.thumb.Height() / 2, l.bar.top + 50);
  // The value reads clamped into the range.
  slider.SetProperty(PR_VALUE, 250);
  EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 100);
  EXPECT_EQ(slider.ThumbOffset(), 200);
  slider.SetProperty(PR_MAX, 0);
  EXPECT_EQ(slider.ThumbOffset(), 0);
}

TEST(SliderInput, AClickOnTheBarSetsTheValueAndDraggingFollowsThePointer) {
  SliderScene scene;
  auto& slider = scene.Add<TNovuSlider>(LT_SLIDER, OT_VERTICAL, 200);
  const Rect bar = slider.GetLayout().bar;
  // 50 pixels below the top: round(100 / 200 * 149) = round(74.5) = 74.
  scene.Input(bar.left + 1, bar.top + 50, true);
  EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 74);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"33:74,", "135:"}));

  scene.Input(bar.left + 1, bar.top + 100, true);  // dragged 50 pixels down
  EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 50);
  scene.Input(bar.left + 30, bar.bottom + 40, true);  // far beyond the end, beside the bar
  EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 0);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"33:50,", "33:0,"}));
  scene.Input(bar.left + 30, bar.bottom + 40, true);  // no change: nothing posted
  EXPECT_TRUE(scene.TakeEvents().empty());

  scene.Input(bar.left + 30, bar.bottom + 40, false);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"136:"}));
  scene.Input(bar.left + 1, bar.top, false);  // moving without the button changes nothing
  EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 0);
}

TEST(SliderInput, GrabbingTheThumbKeepsWhereItWasTaken) {
  SliderScene scene;
  auto& bar = scene.Add<TNovuScrollbar>(LT_SCROLLBAR, OT_HORIZONTAL, 40);  // travel 34
  bar.SetProperty(PR_MAX, 34);
  bar.SetProperty(PR_VALUE, 10);
  const Rect thumb = bar.GetLayout().thumb;
  scene.Input(thumb.left + 4, thumb.top + 1, true);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"135:"}));
  scene.Input(thumb.left + 4 + 7, thumb.top + 1, true);
  EXPECT_EQ(PropAsInt(bar.GetProperty(PR_VALUE)), 17);
}

TEST(SliderInput, ButtonsStepByTheSmallChangeAndRepeatWhileHeld) {
  struct Case {
    ComponentType type;
    int32_t orientation;
    bool second;
    int32_t step;
  };
  const Case cases[] = {
      {LT_SCROLLBAR, OT_HORIZONTAL, false, -5}, {LT_SCROLLBAR, OT_HORIZONTAL, true, 5},
      {LT_SCROLLBAR, OT_VERTICAL, false, -5},   {LT_SLIDER, OT_HORIZONTAL, false, -5},
      {LT_SLIDER, OT_VERTICAL, false, 5},       {LT_SLIDER, OT_VERTICAL, true, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int{c.type} << " " << c.orientation << " " << c.second);
    SliderScene scene;
    auto& slider = scene.Add<TNovuCustomSlider>(c.type, c.orientation, 40);
    slider.SetProperty(PR_SMALLCHANGE, 5);
    slider.SetProperty(PR_VALUE, 50);
    const TNovuCustomSlider::Layout l = slider.GetLayout();
    const Rect button = c.second ? l.second_button : l.first_button;
    scene.Input(button.left + 2, button.top + 2, true);
    EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 50 + c.step);
    // Held: the next step after 300 ms, then one every 50 ms.
    for (int32_t ms : {285, 15, 50}) {
      scene.s.Tick(ms);
      scene.Input(button.left + 2, button.top + 2, true);
    }
    EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 50 + 3 * c.step);
    scene.Input(button.left + 2, button.top + 2, false);
    scene.s.Tick(300);
    EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 50 + 3 * c.step);
  }
}

TEST(SliderInput, TheTrackStepsTowardThePointerByTheLargeChange) {
  SliderScene scene;
  auto& bar = scene.Add<TNovuScrollbar>(LT_SCROLLBAR, OT_HORIZONTAL, 40);
  bar.SetProperty(PR_LARGECHANGE, 30);
  const Rect track = bar.GetLayout().bar;
  scene.Input(track.right - 1, track.top + 1, true);
  EXPECT_EQ(PropAsInt(bar.GetProperty(PR_VALUE)), 30);
  scene.s.Tick(300);
  EXPECT_EQ(PropAsInt(bar.GetProperty(PR_VALUE)), 60);
  // With the pointer on the thumb (now at 126 .. 131) the steps stop.
  scene.Input(track.left + 22, track.top + 1, true);
  scene.s.Tick(50);
  scene.s.Tick(50);
  EXPECT_EQ(PropAsInt(bar.GetProperty(PR_VALUE)), 60);
}

// A thumb as long as the track leaves it no room: dragging keeps the value instead of dividing
// by nothing.
TEST(SliderInput, AScrollBarWithoutRoomForItsThumbKeepsItsValue) {
  SliderScene scene;
  auto& bar = scene.Add<TNovuScrollbar>(LT_SCROLLBAR, OT_HORIZONTAL, 6);  // thumb 6 wide
  bar.SetProperty(PR_VALUE, 40);
  const Rect thumb = bar.GetLayout().thumb;
  scene.Input(thumb.left + 1, thumb.top + 1, true);
  scene.Input(thumb.left + 200, thumb.top + 1, true);
  EXPECT_EQ(PropAsInt(bar.GetProperty(PR_VALUE)), 40);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"135:"}));
}

// The bar's mask is looked up inside the tile under the pointer, however far along the bar.
TEST(SliderInput, TheBarMaskIsReadInsideTheTileUnderThePointer) {
  SliderScene scene;
  FrameSpec bar = Solid(testing::kBlue, 8, 4);
  bar.mask = [](int x, int) { return static_cast<uint8_t>(x % 4 < 2 ? 255 : 0); };
  scene.s.store.files["masked.fip"] = MakeFip({bar});
  auto& track = scene.Add<TNovuScrollbar>(LT_SCROLLBAR, OT_HORIZONTAL, 200);
  track.SetProperty(PR_SOURCE, std::string("masked.fip"));
  track.SetProperty(PR_LARGECHANGE, 10);
  const Rect r = track.GetLayout().bar;
  const struct {
    int32_t along;
    bool hits;
  } cases[] = {{100, true}, {102, false}, {181, true}, {199, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.along);
    EXPECT_EQ(track.PartAt({r.left + c.along, r.top + 1}) == TNovuCustomSlider::Part::kBar, c.hits);
  }
}

TEST(SliderInput, ArrowKeysStepAlongTheOrientation) {
  struct Case {
    int32_t orientation;
    int key;
    int32_t step;
  };
  const Case cases[] = {
      {OT_HORIZONTAL, platform::kVkRight, 1}, {OT_HORIZONTAL, platform::kVkLeft, -1},
      {OT_HORIZONTAL, platform::kVkUp, 0},    {OT_VERTICAL, platform::kVkUp, 1},
      {OT_VERTICAL, platform::kVkDown, -1},
  };
  for (const Case& c : cases) {
    SliderScene scene;
    auto& slider = scene.Add<TNovuSlider>(LT_SLIDER, c.orientation, 40);
    slider.SetProperty(PR_VALUE, 100);  // at the top: an increase stays in range
    const int32_t keys[] = {c.key};
    slider.KeyRepeat(keys);
    slider.SetProperty(PR_VALUE, 50);
    slider.KeyRepeat(keys);
    EXPECT_EQ(PropAsInt(slider.GetProperty(PR_VALUE)), 50 + c.step) << c.key;
  }
}

TEST(SliderDrawing, TheBarShowsTheRightHalfUpToTheThumbAndButtonsShowTheirCells) {
  SliderScene scene;
  auto& slider = scene.Add<TNovuSlider>(LT_SLIDER, OT_HORIZONTAL, 40);
  slider.SetProperty(PR_VALUE, 25);  // offset 10
  const TNovuCustomSlider::Layout l = slider.GetLayout();
  scene.s.Draw();
  EXPECT_EQ(scene.s.PixelAt(l.bar.left + 1, l.bar.top + 1), Raw32(testing::kGreen));
  EXPECT_EQ(scene.s.PixelAt(l.bar.left + 5, l.bar.top + 1), Raw32(testing::kGreen));
  EXPECT_EQ(scene.s.PixelAt(l.bar.left + 19, l.bar.top + 1), Raw32(testing::kBlue));
  EXPECT_EQ(scene.s.PixelAt(l.thumb.left, l.thumb.top), Raw32(0x101010));
  EXPECT_EQ(scene.s.PixelAt(l.first_button.left, l.first_button.top), Raw32(0x000020));
  EXPECT_EQ(scene.s.PixelAt(l.second_button.left, l.second_button.top), Raw32(0x000080));

  // Hovering the second button shows its hover cell; pressing the thumb its pressed cell.
  scene.Input(l.second_button.left + 1, l.second_button.top + 1, false);
  scene.s.Draw();
  EXPECT_EQ(scene.s.PixelAt(l.second_button.left, l.second_button.top), Raw32(0x0000a0));
  const Rect thumb = slider.GetLayout().thumb;
  scene.Input(thumb.left + 3, thumb.top + 1, true);
  scene.s.Draw();
  const Rect now = slider.GetLayout().thumb;
  EXPECT_EQ(scene.s.PixelAt(now.left, now.top), Raw32(0x303030));
}

TEST(SliderState, ARecordReadsBackAndOlderRecordsLackTheLaterFields) {
  SliderScene scene;
  auto& bar = scene.Add<TNovuScrollbar>(LT_SCROLLBAR, OT_VERTICAL, 60);
  bar.SetProperty(PR_MIN, -5);
  bar.SetProperty(PR_VALUE, 33);
  bar.SetProperty(PR_SMALLCHANGE, 3);
  bar.SetProperty(PR_LARGECHANGE, 9);
  bar.SetProperty(PR_ALPHA, 128);
  bar.SetProperty(PR_CAPTUREMASK, true);
  bar.SetProperty(PR_ONIDLE, std::string("i.nsb"));
  BinaryWriter out;
  bar.SaveToStream(out);
  const std::string bytes = out.TakeString();

  SliderScene again;
  auto& loaded = again.s.Add<TNovuScrollbar>(LT_SCROLLBAR, "loaded");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  BinaryWriter out_again;
  loaded.SaveToStream(out_again);
  EXPECT_EQ(out_again.TakeString(), bytes);
  EXPECT_EQ(loaded.width(), bar.width());
  EXPECT_EQ(loaded.height(), 60 + 12);
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_LARGECHANGE)), 9);

  // A record of version 118 has neither the capture-mask flag nor the bar size.
  BinaryWriter old_out;
  testing::WriteOldControlPart(old_out, 118, "old");
  for (const char* name : {"bar.fip", "thumb.fip", "buttons.fip"}) old_out.String(name);
  for (int32_t v : {0, 100, 40, 1, 255}) old_out.I32(v);  // min, max, value, small change, alpha
  old_out.U8(0);                                          // paused
  old_out.U8(OT_HORIZONTAL);
  for (int i = 0; i < 4; ++i) old_out.String("");
  old_out.I32(7);  // large change
  const std::vector<uint8_t> record = old_out.Take();
  SliderScene old;
  auto& older = old.s.Add<TNovuScrollbar>(LT_SCROLLBAR, "x");
  older.SetProperty(PR_BARSIZE, 99);
  BinaryReader old_in(record);
  older.LoadFromStream(old_in, ObjectLoadContext{118});
  EXPECT_TRUE(old_in.AtEnd());
  EXPECT_EQ(PropAsInt(older.GetProperty(PR_LARGECHANGE)), 7);
  EXPECT_EQ(PropAsInt(older.GetProperty(PR_VALUE)), 40);
  EXPECT_EQ(older.width(), 99 + 12);  // the bar size it had stays
}

TEST(GaugeAnimation, ALowerValueFallsAfterTheHoldTime) {
  ImageScene s;
  s.list.SetProcessState(&s.state);
  auto& gauge = s.Add<TNovuGauge>(LT_GAUGE, "gauge");
  gauge.SetProperty(PR_MAX, 100);
  gauge.SetProperty(PR_VALUE, 80);
  EXPECT_EQ(gauge.ShownValue(), 80);  // no full-range time yet: immediate
  gauge.SetProperty(PR_DELAY, 1000);
  gauge.SetProperty(PR_DURATION, 500);
  gauge.SetProperty(PR_VALUE, 30);
  EXPECT_EQ(gauge.ShownValue(), 30);
  EXPECT_EQ(gauge.FallingPart(), 50);
  EXPECT_TRUE(PropAsBool(gauge.GetProperty(PR_PLAYING)));
  s.Tick(250);
  s.Tick(250);
  EXPECT_EQ(gauge.FallingPart(), 50);  // held for 500 ms
  s.Tick(100);
  EXPECT_EQ(gauge.FallingPart(), 40);  // then 0.1 a millisecond
  s.Tick(390);
  EXPECT_EQ(gauge.FallingPart(), 1);
  EXPECT_TRUE(PropAsBool(gauge.GetProperty(PR_PLAYING)));
  s.Tick(10);
  EXPECT_EQ(gauge.FallingPart(), 0);
  EXPECT_FALSE(PropAsBool(gauge.GetProperty(PR_PLAYING)));

  // A higher value rises at the same speed.
  gauge.SetProperty(PR_VALUE, 60);
  s.Tick(150);
  EXPECT_EQ(gauge.ShownValue(), 45);
  s.Tick(1000);
  EXPECT_EQ(gauge.ShownValue(), 60);
  EXPECT_FALSE(PropAsBool(gauge.GetProperty(PR_PLAYING)));
}

TEST(GaugeAnimation, NoFullRangeTimeOrAnEmptyRangeChangesAtOnce) {
  const struct { int32_t delay, max; } cases[] = {{0, 100}, {-500, 100}, {1000, 0}};
  for (const auto& c : cases) {
    ImageScene s;
    auto& gauge = s.Add<TNovuGauge>(LT_GAUGE, "gauge");
    gauge.SetProperty(PR_MAX, c.max);
    gauge.SetProperty(PR_DELAY, c.delay);
    gauge.SetProperty(PR_DURATION, 500);
    gauge.SetProperty(PR_VALUE, 80);
    gauge.SetProperty(PR_VALUE, 20);
    EXPECT_EQ(gauge.ShownValue(), 20) << c.delay;
    EXPECT_EQ(gauge.FallingPart(), 0) << c.delay;
  }
  // Setting the range ends an animation and shows the value.
  ImageScene s;
  auto& gauge = s.Add<TNovuGauge>(LT_GAUGE, "gauge");
  gauge.SetProperty(PR_MAX, 100);
  gauge.SetProperty(PR_VALUE, 80);
  gauge.SetProperty(PR_DELAY, 1000);
  gauge.SetProperty(PR_VALUE, 10);
  gauge.SetProperty(PR_MIN, 5);
  EXPECT_EQ(gauge.FallingPart(), 0);
  EXPECT_FALSE(PropAsBool(gauge.GetProperty(PR_PLAYING)));
}

TEST(GaugeDrawing, ShownAndFallingPartsTileFromTheStartingEnd) {
  struct Case {
    int32_t orientation;
    bool reverse;
    Point shown, falling, empty;  // pixels inside the gauge
  };
  // 40 long at 0..100: shown 30 -> 12 pixels, falling 50 -> 20 pixels, 8 left empty.
  const Case cases[] = {
      {OT_HORIZONTAL, false, {11, 1}, {12, 1}, {32, 1}},
      {OT_HORIZONTAL, true, {28, 1}, {27, 1}, {7, 1}},
      {OT_VERTICAL, false, {1, 28}, {1, 27}, {1, 7}},
      {OT_VERTICAL, true, {1, 11}, {1, 12}, {1, 32}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.orientation << " " << c.reverse);
    ImageScene s(0x000000);
    FrameSpec bar = Solid(testing::kBlue, 8, 4);
    bar.colour = [](int x, int) { return x < 4 ? testing::kBlue : testing::kGreen; };
    s.store.files["bar.fip"] = MakeFip({bar});
    auto& gauge = s.Add<TNovuGauge>(LT_GAUGE, "gauge");
    gauge.SetProperty(PR_ORIENTATION, c.orientation);
    gauge.SetProperty(PR_SOURCE, std::string("bar.fip"));
    gauge.SetProperty(PR_BARSIZE, 40);
    gauge.SetProperty(PR_REVERSE, c.reverse);
    gauge.SetProperty(PR_MAX, 100);
    gauge.SetProperty(PR_VALUE, 80);
    gauge.SetProperty(PR_DELAY, 1000);
    gauge.SetProperty(PR_DURATION, 500);
    gauge.SetProperty(PR_VALUE, 30);
    gauge.SetLeft(10);
    gauge.SetTop(20);
    EXPECT_EQ(c.orientation == OT_VERTICAL ? gauge.height() : gauge.width(), 40);
    s.Draw();
    EXPECT_EQ(s.PixelAt(10 + c.shown.x, 20 + c.shown.y), Raw32(testing::kBlue));
    EXPECT_EQ(s.PixelAt(10 + c.falling.x, 20 + c.falling.y), Raw32(testing::kGreen));
    EXPECT_EQ(s.PixelAt(10 + c.empty.x, 20 + c.empty.y), Raw32(0));
  }
}

TEST(GaugeState, TheShownValueIsTheValueAfterALoad) {
  ImageScene s;
  auto& gauge = s.Add<TNovuGauge>(LT_GAUGE, "gauge");
  gauge.SetProperty(PR_MAX, 100);
  gauge.SetProperty(PR_VALUE, 80);
  gauge.SetProperty(PR_DELAY, 1000);
  gauge.SetProperty(PR_DURATION, 300);
  gauge.SetProperty(PR_VALUE, 30);
  gauge.SetProperty(PR_BARSIZE, 50);
  BinaryWriter out;
  gauge.SaveToStream(out);
  const std::string bytes = out.TakeString();
  ImageScene again;
  auto& loaded = again.Add<TNovuGauge>(LT_GAUGE, "loaded");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(loaded.ShownValue(), 30);
  EXPECT_EQ(loaded.FallingPart(), 0);
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_DURATION)), 300);
  EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_BARSIZE)), 50);
}

}  // namespace
}  // namespace novu

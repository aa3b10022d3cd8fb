#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/glyph_source.h"
#include "platform/virtual_keys.h"
#include "render/dibx.h"
#include "shell/sound_settings_form.h"
#include "shell/sound_settings_painter.h"

namespace novu {
namespace {

using platform::kVkDown;
using platform::kVkEscape;
using platform::kVkLeft;
using platform::kVkReturn;
using platform::kVkRight;
using platform::kVkShift;
using platform::kVkSpace;
using platform::kVkTab;
using C = ConfigControl;

TEST(SoundSettingsTest, ReadsTheFileWithDefaultsAndClampsTheDelay) {
  const struct {
    const char* ini;
    SoundSettings expected;
  } cases[] = {
      {"", {true, 5}},
      {"[Sound]\nDelayTime=250\nDirectSound=0", {false, 2}},
      {"[sound]\ndelaytime=200\ndirectsound=1", {true, 2}},
      {"[Sound]\nDelayTime=950", {true, 5}},  // beyond the bar: its last position
      {"[Sound]\nDelayTime=99", {true, 1}},   // below it: the first
      {"[Sound]\nDelayTime=-300", {true, 1}},
      {"[Sound]\nDelayTime=fast", {true, 5}},  // not a number: the default 500
      {"[Video]\nDelayTime=100", {true, 5}},   // another section's key
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadSoundSettings(IniFile::Parse(c.ini)), c.expected) << c.ini;
  }
}

TEST(SoundSettingsTest, WritesBothKeysAndKeepsTheRest) {
  const std::string before = "[Video]\r\nUseWMP=1\r\n[Sound]\r\nDelayTime=250\r\n";
  EXPECT_EQ(WriteSoundSettings(before, {false, 2}),
            "[Video]\r\nUseWMP=1\r\n[Sound]\r\nDelayTime=200\r\nDirectSound=0\r\n");
  EXPECT_EQ(WriteSoundSettings("", {true, 5}), "[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\n");
}

TEST(SoundSettingsTest, TrackPositionsAndTheirNearestPoints) {
  for (int p = kDelayPositionMin; p <= kDelayPositionMax; ++p) {
    const int x = ConfigLayout::TrackX(p);
    EXPECT_TRUE(ConfigLayout::kTrackBuff.Contains(x, ConfigLayout::kTrackBuff.top)) << p;
    for (int dx : {-10, 0, 10}) EXPECT_EQ(ConfigLayout::NearestPosition(x + dx), p) << p << dx;
  }
  EXPECT_EQ(ConfigLayout::NearestPosition(0), 1);
  EXPECT_EQ(ConfigLayout::NearestPosition(1000), 5);
}

// What the user does to the dialog, and how it stands afterwards.
struct Step {
  std::function<void(SoundSettingsForm&)> act;
};
Step Key(int vk) {
  return {[vk](SoundSettingsForm& f) {
    f.KeyDown(vk);
    f.KeyUp(vk);
  }};
}
Step ShiftTab() {
  return {[](SoundSettingsForm& f) {
    f.KeyDown(kVkShift);
    f.KeyDown(kVkTab);
    f.KeyUp(kVkTab);
    f.KeyUp(kVkShift);
  }};
}
Step Click(Rect r) {
  return {[r](SoundSettingsForm& f) {
    f.MouseDown(r.left + 2, r.top + 2);
    f.MouseUp(r.left + 2, r.top + 2);
  }};
}
Step PressAndLeave(Rect r) {
  return {[r](SoundSettingsForm& f) {
    f.MouseDown(r.left + 2, r.top + 2);
    f.MouseMove(0, 0);
    f.MouseUp(0, 0);
  }};
}
Step DragTrack(int from, int to) {
  return {[from, to](SoundSettingsForm& f) {
    const int y = ConfigLayout::kTrackBuff.top + 10;
    f.MouseDown(ConfigLayout::TrackX(from), y);
    f.MouseMove(ConfigLayout::TrackX(to), y + 40);  // dragging below the bar still moves it
    f.MouseUp(ConfigLayout::TrackX(to), y + 40);
  }};
}

TEST(SoundSettingsTest, KeyboardAndMouse) {
  const SoundSettings with_direct_sound{true, 5};
  const SoundSettings without{false, 2};
  const struct {
    const char* what;
    SoundSettings initial;
    std::vector<Step> steps;
    SoundSettings settings;
    ConfigControl focus;
    ConfigOutcome outcome;
  } cases[] = {
      {"nothing done", with_direct_sound, {}, {true, 5}, C::kCheckSound, ConfigOutcome::kOpen},
      {"Tab skips the disabled track bar",
       with_direct_sound,
       {Key(kVkTab), Key(kVkTab), Key(kVkTab)},
       {true, 5},
       C::kCheckSound,
       ConfigOutcome::kOpen},
      {"Tab reaches the enabled track bar, arrows move it",
       without,
       {Key(kVkTab), Key(kVkTab), Key(kVkTab), Key(kVkRight), Key(kVkDown), Key(kVkDown)},
       {false, 5},
       C::kTrack,
       ConfigOutcome::kOpen},
      {"Shift+Tab goes back", without, {ShiftTab()}, {false, 2}, C::kTrack, ConfigOutcome::kOpen},
      {"the track bar stops at its first position",
       without,
       {Key('D'), Key(kVkLeft), Key(kVkLeft), Key(kVkLeft)},
       {false, 1},
       C::kTrack,
       ConfigOutcome::kOpen},
      {"D does not reach a disabled track bar, arrows elsewhere do nothing",
       with_direct_sound,
       {Key('D'), Key(kVkLeft)},
       {true, 5},
       C::kCheckSound,
       ConfigOutcome::kOpen},
      {"Space and S toggle the check box",
       with_direct_sound,
       {Key(kVkSpace), Key('S'), Key('S')},
       {false, 5},
       C::kCheckSound,
       ConfigOutcome::kOpen},
      {"checking the box takes the focus off the track bar",
       without,
       {Key('D'), Key('S')},
       {true, 2},
       C::kCheckSound,
       ConfigOutcome::kOpen},
      {"Enter presses OK",
       without,
       {Key(kVkReturn)},
       {false, 2},
       C::kCheckSound,
       ConfigOutcome::kOk},
      {"Enter on Cancel cancels",
       without,
       {Key(kVkTab), Key(kVkTab), Key(kVkReturn)},
       {false, 2},
       C::kCancel,
       ConfigOutcome::kCancel},
      {"Escape cancels",
       without,
       {Key(kVkEscape)},
       {false, 2},
       C::kCheckSound,
       ConfigOutcome::kCancel},
      {"a click toggles the check box",
       with_direct_sound,
       {Click(ConfigLayout::kCheckSound)},
       {false, 5},
       C::kCheckSound,
       ConfigOutcome::kOpen},
      {"a press released elsewhere does nothing",
       with_direct_sound,
       {PressAndLeave(ConfigLayout::kCheckSound), PressAndLeave(ConfigLayout::kOk)},
       {true, 5},
       C::kOk,
       ConfigOutcome::kOpen},
      {"pressing and dragging the track bar",
       without,
       {DragTrack(3, 4)},
       {false, 4},
       C::kTrack,
       ConfigOutcome::kOpen},
      {"a disabled track bar does not move",
       with_direct_sound,
       {DragTrack(5, 1)},
       {true, 5},
       C::kCheckSound,
       ConfigOutcome::kOpen},
      {"a click on OK",
       without,
       {Click(ConfigLayout::kOk)},
       {false, 2},
       C::kOk,
       ConfigOutcome::kOk},
      {"a click on Cancel",
       without,
       {Click(ConfigLayout::kCancel)},
       {false, 2},
       C::kCancel,
       ConfigOutcome::kCancel},
      {"nothing changes once closed",
       without,
       {Key(kVkEscape), Key('S'), Key(kVkReturn)},
       {false, 2},
       C::kCheckSound,
       ConfigOutcome::kCancel},
  };
  for (const auto& c : cases) {
    SoundSettingsForm form(c.initial);
    for (const Step& step : c.steps) step.act(form);
    EXPECT_EQ(form.settings(), c.settings) << c.what;
    EXPECT_EQ(form.focus(), c.focus) << c.what;
    EXPECT_EQ(form.outcome(), c.outcome) << c.what;
  }
}

TEST(SoundSettingsTest, TheValueLabelShowsTheDelay) {
  EXPECT_EQ(SoundSettingsForm({false, 2}).DelayLabel(), "200ms");
  EXPECT_EQ(SoundSettingsForm({false, 9}).DelayLabel(), "500ms");
  SoundSettingsForm form({false, 2});
  form.KeyDown('D');
  form.KeyDown(kVkRight);
  EXPECT_EQ(form.DelayLabel(), "300ms");
}

int CountPixels(const render::TDIBX& surface, Rect r, uint32_t pixel) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += surface.GetPixel(x, y) == pixel;
  }
  return n;
}

// The picture follows the state: the tick in the box, the thumb at its position and in the
// enabled or disabled colour, the delay captions black or grey.
TEST(SoundSettingsTest, ThePictureShowsTheState) {
  text::TFontPixelManager glyphs(std::make_unique<platform::FixedGlyphSource>());
  SoundSettingsPainter painter(glyphs);
  const Rect& box = ConfigLayout::kCheckBox;
  const Rect delay_captions{ConfigLayout::kLabelBuff.left, ConfigLayout::kLabelBuff.top,
                            ConfigLayout::kLabelBuffInfo.right, ConfigLayout::kLabelBuff.bottom};
  for (const SoundSettings& s : {SoundSettings{true, 5}, SoundSettings{false, 2}}) {
    SoundSettingsForm form(s);
    render::TDIBX surface;
    painter.Paint(form, surface);
    ASSERT_EQ(surface.Width(), kConfigClientWidth);
    ASSERT_EQ(surface.Height(), kConfigClientHeight);
    EXPECT_EQ(CountPixels(surface, Grown(box, -1), kDialogCheckMark) > 0, s.direct_sound);
    const uint32_t thumb = s.direct_sound ? kDialogGreyThumb : kDialogThumb;
    const int y = ConfigLayout::kTrackBuff.top + 10;
    for (int p = kDelayPositionMin; p <= kDelayPositionMax; ++p) {
      EXPECT_EQ(surface.GetPixel(ConfigLayout::TrackX(p), y) == thumb, p == s.delay_position) << p;
    }
    EXPECT_EQ(CountPixels(surface, delay_captions, kDialogText) > 0, !s.direct_sound);
    EXPECT_EQ(CountPixels(surface, delay_captions, kDialogGreyText) > 0, s.direct_sound);
  }
}

}  // namespace
}  // namespace novu

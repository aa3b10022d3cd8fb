#include "shell/sound_settings_painter.h"

#include <algorithm>

#include "core/cp932.h"
#include "platform/error.h"

namespace novu {
namespace {

constexpr int kFontHeight = 12;
constexpr uint32_t kShadow = 0xA0A0A0;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kBoxBorder = 0x333333;
constexpr uint32_t kGreyBorder = 0xBCBCBC;
constexpr uint32_t kChannelBorder = 0xD6D6D6;
constexpr uint32_t kChannelFill = 0xE7EAEA;
constexpr uint32_t kButtonFace = 0xE1E1E1;
constexpr uint32_t kButtonBorder = 0xADADAD;
constexpr uint32_t kButtonPressed = 0xCCE4F7;
constexpr uint32_t kDefaultBorder = 0x0078D7;
constexpr int kThumbWidth = 11;
constexpr int kThumbHeight = 19;

// "ＭＳ Ｐゴシック"
const std::string& DialogFont() {
  static const std::string name = Jp("ＭＳ Ｐゴシック");
  return name;
}

uint32_t* Row(render::TDIBX& surface, int y) {
  return reinterpret_cast<uint32_t*>(surface.ScanPointer(0, y));
}

void Fill(render::TDIBX& surface, Rect r, uint32_t pixel) {
  r = Intersect(r, {0, 0, surface.Width(), surface.Height()});
  for (int y = r.top; y < r.bottom; ++y)
    std::fill(Row(surface, y) + r.left, Row(surface, y) + r.right, pixel);
}

void Frame(render::TDIBX& surface, Rect r, uint32_t pixel) {
  Fill(surface, {r.left, r.top, r.right, r.top + 1}, pixel);
  Fill(surface, {r.left, r.bottom - 1, r.right, r.bottom}, pixel);
  Fill(surface, {r.left, r.top, r.left + 1, r.bottom}, pixel);
  Fill(surface, {r.right - 1, r.top, r.right, r.bottom}, pixel);
}

// The dotted frame of the focused control: every other pixel along the edges.
void FocusFrame(render::TDIBX& surface, Rect r) {
  const Rect clip = Intersect(r, {0, 0, surface.Width(), surface.Height()});
  for (int x = clip.left; x < clip.right; x += 2) {
    Row(surface, clip.top)[x] = kDialogText;
    Row(surface, clip.bottom - 1)[x] = kDialogText;
  }
  for (int y = clip.top; y < clip.bottom; y += 2) {
    Row(surface, y)[clip.left] = kDialogText;
    Row(surface, y)[clip.right - 1] = kDialogText;
  }
}

uint32_t Mix(uint32_t under, uint32_t over, int coverage) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>(under >> shift & 0xFF);
    const int b = static_cast<int>(over >> shift & 0xFF);
    out |= static_cast<uint32_t>(a + (b - a) * coverage / 255) << shift;
  }
  return out;
}

}  // namespace

int SoundSettingsPainter::TextWidth(std::string_view cp932) {
  int width = 0;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (cp932[i] == '&' && i + 1 < cp932.size()) continue;
    uint16_t code = static_cast<uint8_t>(cp932[i]);
    if (cp932::IsLeadByte(static_cast<uint8_t>(cp932[i])) && i + 1 < cp932.size()) {
      code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(cp932[++i]));
    }
    const auto glyph = glyphs_.Get(code, DialogFont(), 0, kFontHeight);
    width += glyph->origin_x + glyph->width + glyph->right_spacing;
  }
  return width;
}

int SoundSettingsPainter::DrawText(render::TDIBX& surface, int x, int y, std::string_view cp932,
                                   uint32_t colour) {
  const int start = x;
  const Rect bounds{0, 0, surface.Width(), surface.Height()};
  bool underline_next = false;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (cp932[i] == '&' && i + 1 < cp932.size() && !underline_next) {
      underline_next = true;
      continue;
    }
    uint16_t code = static_cast<uint8_t>(cp932[i]);
    if (cp932::IsLeadByte(static_cast<uint8_t>(cp932[i])) && i + 1 < cp932.size()) {
      code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(cp932[++i]));
    }
    const auto glyph = glyphs_.Get(code, DialogFont(), 0, kFontHeight);
    const int advance = glyph->origin_x + glyph->width + glyph->right_spacing;
    for (int gy = 0; gy < glyph->height; ++gy) {
      const int py = y + glyph->origin_y + gy;
      if (py < bounds.top || py >= bounds.bottom) continue;
      uint32_t* row = Row(surface, py);
      const uint8_t* coverage = glyph->coverage.data() + static_cast<size_t>(gy) * glyph->width;
      for (int gx = 0; gx < glyph->width; ++gx) {
        const int px = x + glyph->origin_x + gx;
        if (px < bounds.left || px >= bounds.right || coverage[gx] == 0) continue;
        row[px] = Mix(row[px], colour, coverage[gx]);
      }
    }
    if (underline_next) {
      Fill(surface, {x, y + kFontHeight - 1, x + advance, y + kFontHeight}, colour);
      underline_next = false;
    }
    x += advance;
  }
  return x - start;
}

void SoundSettingsPainter::DrawCheckBox(const SoundSettingsForm& form, render::TDIBX& surface) {
  const Rect& area = ConfigLayout::kCheckSound;
  const Rect& box = ConfigLayout::kCheckBox;
  const bool pressed = form.pressed() == ConfigControl::kCheckSound;
  Fill(surface, box, pressed ? kButtonPressed : kHighlight);
  Frame(surface, box, kBoxBorder);
  if (form.settings().direct_sound) {
    // A tick: down-right from the left, then up to the top right, two pixels thick.
    for (int i = 0; i < 3; ++i)
      Fill(surface, MakeRect(box.left + 3 + i, box.top + 6 + i, 1, 2), kDialogCheckMark);
    for (int i = 0; i < 5; ++i)
      Fill(surface, MakeRect(box.left + 6 + i, box.top + 7 - i, 1, 2), kDialogCheckMark);
  }
  const int text_x = box.right + 4;
  const int text_y = area.top + (area.Height() - kFontHeight) / 2;
  const int width = DrawText(surface, text_x, text_y, Jp("DirectSoundを使用する(&S)"), kDialogText);
  if (form.focus() == ConfigControl::kCheckSound) {
    FocusFrame(surface, {text_x - 2, text_y - 1, text_x + width + 2, text_y + kFontHeight + 1});
  }
}

void SoundSettingsPainter::DrawTrackBar(const SoundSettingsForm& form, render::TDIBX& surface) {
  const bool enabled = form.delay_enabled();
  const Rect& area = ConfigLayout::kTrackBuff;
  const int first = ConfigLayout::TrackX(kDelayPositionMin);
  const int last = ConfigLayout::TrackX(kDelayPositionMax);
  const Rect channel{first - 2, area.top + 8, last + 3, area.top + 12};
  Fill(surface, channel, kChannelFill);
  Frame(surface, channel, kChannelBorder);
  for (int p = kDelayPositionMin; p <= kDelayPositionMax; ++p) {
    const int x = ConfigLayout::TrackX(p);
    Fill(surface, {x, area.top + 21, x + 1, area.top + 24}, enabled ? kDialogText : kGreyBorder);
  }
  const int centre = ConfigLayout::TrackX(form.settings().delay_position);
  const Rect thumb = MakeRect(centre - kThumbWidth / 2, area.top + 1, kThumbWidth, kThumbHeight);
  Fill(surface, thumb, enabled ? kDialogThumb : kDialogGreyThumb);
  if (form.focus() == ConfigControl::kTrack) FocusFrame(surface, area);
}

void SoundSettingsPainter::DrawButton(const SoundSettingsForm& form, render::TDIBX& surface,
                                      ConfigControl which) {
  const bool ok = which == ConfigControl::kOk;
  const Rect& area = ok ? ConfigLayout::kOk : ConfigLayout::kCancel;
  const std::string caption = ok ? "OK" : Jp("キャンセル");
  // The default button is OK unless Cancel has the focus.
  const bool is_default = form.focus() == which || (ok && form.focus() != ConfigControl::kCancel);
  Fill(surface, area, form.pressed() == which ? kButtonPressed : kButtonFace);
  Frame(surface, area, is_default ? kDefaultBorder : kButtonBorder);
  if (is_default) Frame(surface, Grown(area, -1), kDefaultBorder);
  const int width = TextWidth(caption);
  DrawText(surface, area.left + (area.Width() - width) / 2,
           area.top + (area.Height() - kFontHeight) / 2, caption, kDialogText);
  if (form.focus() == which) FocusFrame(surface, Grown(area, -3));
}

void SoundSettingsPainter::Paint(const SoundSettingsForm& form, render::TDIBX& surface) {
  if (surface.Width() != kConfigClientWidth || surface.Height() != kConfigClientHeight ||
      surface.BitCount() != 32) {
    surface.SetSize(kConfigClientWidth, kConfigClientHeight, 32);
  }
  Fill(surface, {0, 0, kConfigClientWidth, kConfigClientHeight}, kDialogFace);
  // A lowered frame: a shadow line with a highlight line one pixel in and down.
  const Rect& bevel = ConfigLayout::kBevel;
  Frame(surface, {bevel.left + 1, bevel.top + 1, bevel.right, bevel.bottom}, kHighlight);
  Frame(surface, {bevel.left, bevel.top, bevel.right - 1, bevel.bottom - 1}, kShadow);

  DrawCheckBox(form, surface);
  const uint32_t delay_text = form.delay_enabled() ? kDialogText : kDialogGreyText;
  DrawText(surface, ConfigLayout::kLabelBuff.left, ConfigLayout::kLabelBuff.top,
           Jp("サウンドの遅延時間(&D)："), delay_text);
  const std::string value = form.DelayLabel();
  const Rect& info = ConfigLayout::kLabelBuffInfo;
  DrawText(surface, info.right - TextWidth(value), info.top, value, delay_text);
  DrawTrackBar(form, surface);
  DrawButton(form, surface, ConfigControl::kOk);
  DrawButton(form, surface, ConfigControl::kCancel);
}

}  // namespace novu

#pragma once
// Draws the settings dialog of "/config" into a 32-bit surface of its client size, the way the
// desktop's own dialogs look: a framed bevel around the sound controls, a check box, two
// labels, a track bar with a tick at every position and two push buttons. Captions come from
// the player's glyph cache in "ＭＳ Ｐゴシック" at 12 pixels; a mnemonic letter is underlined,
// disabled controls are grey and the focused control has a dotted focus frame.
#include "render/dibx.h"
#include "shell/sound_settings_form.h"
#include "text/font_pixel.h"

namespace novu {

// Pixels (0x00RRGGBB) the dialog is drawn with.
inline constexpr uint32_t kDialogFace = 0xF0F0F0;
inline constexpr uint32_t kDialogText = 0x000000;
inline constexpr uint32_t kDialogGreyText = 0x6D6D6D;
inline constexpr uint32_t kDialogThumb = 0x0078D7;
inline constexpr uint32_t kDialogGreyThumb = 0xCCCCCC;
inline constexpr uint32_t kDialogCheckMark = 0x333333;

class SoundSettingsPainter {
 public:
  // The cache must outlive the painter.
  explicit SoundSettingsPainter(text::TFontPixelManager& glyphs) : glyphs_(glyphs) {}

  // Sizes `surface` to the client area (32 bits) and draws the whole dialog.
  void Paint(const SoundSettingsForm& form, render::TDIBX& surface);

  // The width of a caption; "&" marks the next character as the mnemonic and takes no room.
  int TextWidth(std::string_view cp932);

 private:
  // Draws a caption with its top-left at (x, y); gives the width drawn.
  int DrawText(render::TDIBX& surface, int x, int y, std::string_view cp932, uint32_t colour);
  void DrawCheckBox(const SoundSettingsForm& form, render::TDIBX& surface);
  void DrawTrackBar(const SoundSettingsForm& form, render::TDIBX& surface);
  void DrawButton(const SoundSettingsForm& form, render::TDIBX& surface, ConfigControl which);

  text::TFontPixelManager& glyphs_;
};

}  // namespace novu

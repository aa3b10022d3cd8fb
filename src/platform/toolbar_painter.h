#pragma once
// Paints the toolbar dock (background, the two flat buttons and their captions) into 32-bit
// pixels 0x00RRGGBB, so that the window only has to show the result.
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <utility>

#include "platform/font_face.h"
#include "platform/toolbar_layout.h"

namespace novu::platform {

inline constexpr uint32_t kDockColour = 0xF0F0F0;
inline constexpr uint32_t kButtonFaceColour = 0xE1E1E1;
inline constexpr uint32_t kButtonBorderColour = 0xADADAD;
inline constexpr uint32_t kHotFaceColour = 0xE5F1FB;
inline constexpr uint32_t kHotBorderColour = 0x0078D7;
inline constexpr uint32_t kPressedFaceColour = 0xCCE4F7;
inline constexpr uint32_t kCaptionColour = 0x000000;
inline constexpr int kCaptionPixelSize = 12;

struct ToolbarState {
  ToolbarButton hot = ToolbarButton::None;      // under the mouse
  ToolbarButton pressed = ToolbarButton::None;  // held down
  friend bool operator==(const ToolbarState&, const ToolbarState&) = default;
};

class ToolbarPainter {
 public:
  // Without a font the buttons are painted without captions.
  explicit ToolbarPainter(std::unique_ptr<FontFace> font);
  // A painter with the installed Japanese font, or without captions when there is none.
  static ToolbarPainter WithInstalledFont();

  bool HasCaptions() const { return font_ != nullptr; }

  // Paints the whole dock: `pixels` holds rows of `width` pixels, kDockHeight * ui_scale of
  // them (a shorter span is left untouched).
  void Paint(std::span<uint32_t> pixels, int width, int ui_scale, ToolbarState state);

 private:
  const TextBitmap& Caption(ToolbarButton button, int ui_scale);

  std::unique_ptr<FontFace> font_;
  std::map<std::pair<ToolbarButton, int>, TextBitmap> captions_;
};

}  // namespace novu::platform

#pragma once
// TextEntryWidget: the player's own text-entry box, single-line or multi-line, drawn into the
// frame over the control that owns it. It holds the text (code page 932), the caret and the
// selection, the text being composed by an input method, and the font and colours it is drawn
// with. Keys and typed text reach it through TextEntryFocus, which knows the one widget that
// holds the keyboard focus.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "render/dibx.h"

namespace novu {

namespace text {
class TFontPixelManager;
}

class TextEntryWidget {
 public:
  enum class Lines { kSingle, kMulti };
  // The memo's alignment order: 0 left, 1 right, 2 centre.
  enum Alignment : uint8_t { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

  explicit TextEntryWidget(Lines lines) : lines_(lines) {}

  bool multi_line() const { return lines_ == Lines::kMulti; }

  // --- text and selection (byte offsets at character boundaries) ---
  const std::string& text() const { return text_; }
  // Replaces the text; the caret goes to the end, or the whole text is selected.
  void SetText(std::string_view text, bool select_all);
  void SelectAll();
  size_t caret() const { return caret_; }
  size_t SelectionStart() const { return std::min(caret_, anchor_); }
  size_t SelectionEnd() const { return std::max(caret_, anchor_); }
  std::string_view SelectedText() const;
  const std::string& composition() const { return composition_; }

  // --- input (ignored while disabled; editing also while read-only) ---
  // Committed text from the keyboard or an input method. The single-line box drops line ends,
  // tabs and other control characters; the multi-line box keeps tabs and turns every line end
  // into CR LF.
  void TypeText(std::string_view cp932);
  // The text an input method is composing, shown at the caret until it is committed.
  void SetComposition(std::string_view cp932);
  // An editing or caret key (virtual-key code); true when the widget used it.
  bool PressKey(int vk, bool shift, bool control);
  // Moves the caret to the character nearest the point (screen coordinates).
  void PlaceCaretAt(Point screen);

  // --- state the owning control sets ---
  void SetArea(const Rect& area) { area_ = area; }
  const Rect& area() const { return area_; }
  void SetShown(bool shown) { shown_ = shown; }
  bool shown() const { return shown_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool enabled() const { return enabled_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  bool read_only() const { return read_only_; }
  void SetAlignment(uint8_t alignment) { alignment_ = alignment; }
  uint8_t alignment() const { return alignment_; }
  void SetFontName(std::string_view name) { font_name_ = name; }
  const std::string& font_name() const { return font_name_; }
  void SetFontHeight(int32_t height) { font_height_ = height; }
  int32_t font_height() const { return font_height_; }
  void SetFontStyle(uint8_t style) { font_style_ = style; }
  uint8_t font_style() const { return font_style_; }
  void SetFontColour(int32_t colour) { font_colour_ = colour; }
  int32_t font_colour() const { return font_colour_; }
  // -1: the usual window colour, white.
  void SetBackColour(int32_t colour) { back_colour_ = colour; }
  int32_t back_colour() const { return back_colour_; }

  // Told after every change of the text, the caret or the composition (the owner repaints).
  std::function<void()> on_change;
  // Told of every key pressed while the widget holds the keyboard focus, before the key acts.
  std::function<void(int vk)> on_key;
  // Told when the widget takes the keyboard focus.
  std::function<void()> on_focus;

  // Draws the box at its area: background, text, selection, composition and, when `focused`,
  // the caret. Nothing without glyphs or while hidden.
  void Draw(render::TCustomDIBX& surface, text::TFontPixelManager* glyphs, bool focused);
  // Where an input method should put its window: the caret's cell on the screen.
  Rect CaretRect() const;

 private:
  struct LineSpan {
    size_t begin, end;  // byte offsets of the line's characters (no line end)
  };
  std::vector<LineSpan> SplitLines() const;
  size_t LineOf(const std::vector<LineSpan>& lines, size_t offset) const;
  // Advances of the characters of [begin, end) with the widget's font.
  std::vector<int32_t> Advances(text::TFontPixelManager& glyphs, size_t begin, size_t end) const;
  int32_t LineHeight() const;
  void ReplaceSelection(std::string_view with);
  void MoveCaret(size_t offset, bool extend);
  size_t PreviousBoundary(size_t offset) const;
  size_t NextBoundary(size_t offset) const;
  size_t VerticalNeighbour(size_t offset, int direction) const;
  void Changed();

  Lines lines_;
  std::string text_;
  size_t caret_ = 0;
  size_t anchor_ = 0;
  std::string composition_;
  Rect area_{};
  bool shown_ = false;
  bool enabled_ = true;
  bool read_only_ = false;
  uint8_t alignment_ = kAlignLeft;
  std::string font_name_;
  int32_t font_height_ = 16;
  uint8_t font_style_ = 0;
  int32_t font_colour_ = 0;
  int32_t back_colour_ = -1;
  // Where the text starts inside the box, kept so the caret stays in sight.
  int32_t scroll_x_ = 0;
  int32_t scroll_line_ = 0;
  // The last drawing's caret place and character cells, for caret placement by the mouse.
  Rect caret_rect_{};
  struct Cell {
    Rect rect;  // on the screen
    size_t offset;
  };
  std::vector<Cell> cells_;
  render::TDIBX colour_;
  render::TDIBX coverage_;
};

}  // namespace novu

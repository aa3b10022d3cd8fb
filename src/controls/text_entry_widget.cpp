#include "controls/text_entry_widget.h"

#include <algorithm>
#include <cstdlib>

#include "core/cp932.h"
#include "platform/virtual_keys.h"
#include "text/font_pixel.h"

namespace novu {
namespace {

constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkDelete = 0x2E;
constexpr int kVkA = 0x41;
constexpr int32_t kWindowColour = 0xffffff;
constexpr int32_t kHighlightColour = 0xd77800;  // 0x00BBGGRR
constexpr int32_t kHighlightTextColour = 0xffffff;
constexpr int kTabSpaces = 4;

size_t CharacterLength(std::string_view text, size_t at) {
  if (text.compare(at, 2, "\r\n") == 0) return 2;
  return cp932::IsLeadByte(static_cast<uint8_t>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

uint16_t CodeAt(std::string_view text, size_t at, size_t length) {
  const auto lead = static_cast<uint8_t>(text[at]);
  return length == 2 ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(text[at + 1])) : lead;
}

// Typed text as the box keeps it: see TypeText.
std::string FilterTyped(std::string_view typed, bool multi_line) {
  std::string out;
  for (size_t i = 0; i < typed.size();) {
    const size_t n =
        cp932::IsLeadByte(static_cast<uint8_t>(typed[i])) && i + 1 < typed.size() ? 2 : 1;
    const auto b = static_cast<uint8_t>(typed[i]);
    if (n == 2 || (b >= 0x20 && b != 0x7f)) {
      out.append(typed.substr(i, n));
    } else if (multi_line && b == '\t') {
      out += '\t';
    } else if (multi_line && (b == '\r' || b == '\n')) {
      out += "\r\n";
      if (b == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') ++i;
    }
    i += n;
  }
  return out;
}

}  // namespace

// --- text and selection ---

void TextEntryWidget::SetText(std::string_view text, bool select_all) {
  text_ = multi_line() ? std::string(text) : FilterTyped(text, false);
  composition_.clear();
  caret_ = text_.size();
  anchor_ = select_all ? 0 : caret_;
  scroll_x_ = 0;
  scroll_line_ = 0;
  Changed();
}

void TextEntryWidget::SelectAll() {
  anchor_ = 0;
  caret_ = text_.size();
  Changed();
}

std::string_view TextEntryWidget::SelectedText() const {
  return std::string_view(text_).substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void TextEntryWidget::Changed() {
  if (on_change) on_change();
}

size_t TextEntryWidget::PreviousBoundary(size_t offset) const {
  size_t previous = 0;
  for (size_t at = 0; at < offset && at < text_.size(); at += CharacterLength(text_, at)) {
    previous = at;
  }
  return previous;
}

size_t TextEntryWidget::NextBoundary(size_t offset) const {
  return offset >= text_.size() ? text_.size() : offset + CharacterLength(text_, offset);
}

void TextEntryWidget::MoveCaret(size_t offset, bool extend) {
  caret_ = std::min(offset, text_.size());
  if (!extend) anchor_ = caret_;
  Changed();
}

void TextEntryWidget::ReplaceSelection(std::string_view with) {
  const size_t start = SelectionStart();
  text_.replace(start, SelectionEnd() - start, with);
  caret_ = anchor_ = start + with.size();
  Changed();
}

// --- lines ---

std::vector<TextEntryWidget::LineSpan> TextEntryWidget::SplitLines() const {
  std::vector<LineSpan> lines;
  if (!multi_line()) return {{0, text_.size()}};
  size_t begin = 0;
  for (size_t at = 0; at < text_.size();) {
    const size_t n = CharacterLength(text_, at);
    if (text_[at] == '\r' || text_[at] == '\n') {
      lines.push_back({begin, at});
      begin = at + n;
    }
    at += n;
  }
  lines.push_back({begin, text_.size()});
  return lines;
}

size_t TextEntryWidget::LineOf(const std::vector<LineSpan>& lines, size_t offset) const {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (offset <= lines[i].end) return i;
  }
  return lines.size() - 1;
}

size_t TextEntryWidget::VerticalNeighbour(size_t offset, int direction) const {
  const std::vector<LineSpan> lines = SplitLines();
  const size_t line = LineOf(lines, offset);
  if ((direction < 0 && line == 0) || (direction > 0 && line + 1 >= lines.size())) return offset;
  size_t column = 0;
  for (size_t at = lines[line].begin; at < offset; at += CharacterLength(text_, at)) ++column;
  const LineSpan& target = lines[direction < 0 ? line - 1 : line + 1];
  size_t at = target.begin;
  for (; column > 0 && at < target.end; --column) at += CharacterLength(text_, at);
  return at;
}

// --- input ---

void TextEntryWidget::TypeText(std::string_view cp932) {
  if (!enabled_) return;
  composition_.clear();
  if (read_only_) {
    Changed();
    return;
  }
  const std::string kept = FilterTyped(cp932, multi_line());
  if (!kept.empty()) ReplaceSelection(kept);
}

void TextEntryWidget::SetComposition(std::string_view cp932) {
  if (!enabled_ || read_only_) return;
  composition_ = FilterTyped(cp932, false);
  Changed();
}

bool TextEntryWidget::PressKey(int vk, bool shift, bool control) {
  if (!enabled_) return false;
  const bool editable = !read_only_;
  const std::vector<LineSpan> lines = SplitLines();
  const LineSpan& line = lines[LineOf(lines, caret_)];
  const bool selection = caret_ != anchor_;
  switch (vk) {
    case platform::kVkLeft:
      MoveCaret(selection && !shift ? SelectionStart() : PreviousBoundary(caret_), shift);
      return true;
    case platform::kVkRight:
      MoveCaret(selection && !shift ? SelectionEnd() : NextBoundary(caret_), shift);
      return true;
    case kVkHome:
      MoveCaret(control ? 0 : line.begin, shift);
      return true;
    case kVkEnd:
      MoveCaret(control ? text_.size() : line.end, shift);
      return true;
    case platform::kVkUp:
    case platform::kVkDown:
      if (!multi_line()) return false;
      MoveCaret(VerticalNeighbour(caret_, vk == platform::kVkUp ? -1 : 1), shift);
      return true;
    case platform::kVkBack:
      if (!editable) return true;
      if (!selection) anchor_ = PreviousBoundary(caret_);
      ReplaceSelection({});
      return true;
    case kVkDelete:
      if (!editable) return true;
      if (!selection) anchor_ = NextBoundary(caret_);
      ReplaceSelection({});
      return true;
    case platform::kVkReturn:
      if (!multi_line()) return false;
      if (editable) ReplaceSelection("\r\n");
      return true;
    case platform::kVkTab:
      if (!multi_line()) return false;
      if (editable) ReplaceSelection("\t");
      return true;
    case kVkA:
      if (!control) return false;
      SelectAll();
      return true;
    default:
      return false;
  }
}

void TextEntryWidget::PlaceCaretAt(Point screen) {
  size_t best = text_.size();
  bool found = false;
  for (const Cell& cell : cells_) {
    if (screen.y < cell.rect.top || screen.y >= cell.rect.bottom) continue;
    best = cell.offset;
    found = true;
    if (screen.x < cell.rect.left + cell.rect.Width() / 2) break;
  }
  if (found || cells_.empty()) MoveCaret(best, false);
}

// --- drawing ---

int32_t TextEntryWidget::LineHeight() const {
  return std::max(1, std::abs(font_height_));
}

std::vector<int32_t> TextEntryWidget::Advances(text::TFontPixelManager& glyphs, size_t begin,
                                               size_t end) const {
  std::vector<int32_t> advances;
  const auto advance_of = [&](uint16_t code) {
    const auto glyph = glyphs.Get(code, font_name_, font_style_ & 0x0f, font_height_);
    return glyph->width + glyph->origin_x + glyph->right_spacing;
  };
  for (size_t at = begin; at < end;) {
    const size_t n = CharacterLength(text_, at);
    const uint16_t code = CodeAt(text_, at, n);
    advances.push_back(code == '\t' ? kTabSpaces * advance_of(' ') : advance_of(code));
    at += n;
  }
  return advances;
}

Rect TextEntryWidget::CaretRect() const {
  return caret_rect_;
}

void TextEntryWidget::Draw(render::TCustomDIBX& surface, text::TFontPixelManager* glyphs,
                           bool focused) {
  cells_.clear();
  if (!shown_ || area_.IsEmpty()) return;
  const Rect area = area_;
  const int32_t back = back_colour_ == -1 ? kWindowColour : back_colour_;
  surface.FillRect(area, static_cast<uint32_t>(surface.ColorToPixel(back)));
  if (glyphs == nullptr) return;
  glyphs->SetLevel(text::TFontPixelManager::kDefaultLevel);

  // The composition is shown at the caret as if it were part of the text.
  const std::string saved = text_;
  const size_t comp_begin = caret_;
  const size_t comp_end = caret_ + composition_.size();
  text_.insert(caret_, composition_);
  const size_t shown_caret = comp_end;
  const size_t sel_begin =
      SelectionStart() >= caret_ ? SelectionStart() + composition_.size() : SelectionStart();
  const size_t sel_end =
      SelectionEnd() >= caret_ ? SelectionEnd() + composition_.size() : SelectionEnd();

  const int32_t w = area.Width();
  const int32_t h = area.Height();
  const int depth = surface.BitCount() > 8 ? surface.BitCount() : 32;
  if (colour_.Width() != w || colour_.Height() != h || colour_.BitCount() != depth) {
    colour_.SetSize(w, h, depth);
    coverage_.SetSize(w, h, 8);
  }
  coverage_.FillRect(Rect{0, 0, w, h}, 0);

  const std::vector<LineSpan> lines = SplitLines();
  const int32_t pitch = LineHeight();
  const auto visible_lines = std::max<int32_t>(1, h / pitch);
  const auto caret_line = static_cast<int32_t>(LineOf(lines, shown_caret));
  scroll_line_ = std::clamp(scroll_line_, caret_line - visible_lines + 1, caret_line);
  scroll_line_ = std::max(scroll_line_, 0);

  std::vector<Rect> highlights;
  std::vector<Rect> underlines;
  for (size_t i = static_cast<size_t>(scroll_line_); i < lines.size(); ++i) {
    const int32_t y = static_cast<int32_t>(i - scroll_line_) * pitch;
    if (y >= h) break;
    const LineSpan& line = lines[i];
    const std::vector<int32_t> advances = Advances(*glyphs, line.begin, line.end);
    int64_t line_width = 0;
    for (int32_t a : advances) line_width += a;
    int64_t x = 0;
    if (multi_line() && alignment_ == kAlignRight) x = w - 1 - line_width;
    if (multi_line() && alignment_ == kAlignCentre) x = (w - line_width) / 2;
    if (!multi_line()) {
      int64_t caret_x = 0;
      size_t k = 0;
      for (size_t at = line.begin; at < shown_caret && k < advances.size();
           at += CharacterLength(text_, at)) {
        caret_x += advances[k++];
      }
      if (caret_x - scroll_x_ >= w) scroll_x_ = static_cast<int32_t>(caret_x - w + 1);
      if (caret_x - scroll_x_ < 0) scroll_x_ = static_cast<int32_t>(caret_x);
      x = -scroll_x_;
    }
    size_t k = 0;
    for (size_t at = line.begin;; at += CharacterLength(text_, at)) {
      if (at == shown_caret)
        caret_rect_ = MakeRect(area.left + static_cast<int32_t>(x), area.top + y, 1, pitch);
      const bool in_text = at < line.end;
      const int32_t advance = in_text ? advances[k++] : 0;
      const Rect cell = MakeRect(static_cast<int32_t>(x), y, advance, pitch);
      const size_t offset = at <= comp_begin ? at
                            : at >= comp_end ? at - composition_.size()
                                             : comp_begin;
      cells_.push_back({Offset(cell, area.left, area.top), offset});
      if (!in_text) break;
      const bool selected = at >= sel_begin && at < sel_end && (at < comp_begin || at >= comp_end);
      if (selected) highlights.push_back(Offset(cell, area.left, area.top));
      if (at >= comp_begin && at < comp_end) {
        underlines.push_back(
            Offset(MakeRect(cell.left, y + pitch - 1, advance, 1), area.left, area.top));
      }
      const size_t n = CharacterLength(text_, at);
      const uint16_t code = CodeAt(text_, at, n);
      if (code != '\t' && x + advance > 0 && x < w) {
        text::GlyphDrawSpec draw;
        draw.cell = cell;
        draw.text_colour = selected ? kHighlightTextColour : font_colour_;
        draw.clear_first = true;
        text::TFontPixelManager::Draw(
            *glyphs->Get(code, font_name_, font_style_ & 0x0f, font_height_), colour_, coverage_,
            draw);
      }
      x += advance;
    }
  }
  text_ = saved;

  for (const Rect& r : highlights) {
    surface.FillRect(Intersect(r, area),
                     static_cast<uint32_t>(surface.ColorToPixel(kHighlightColour)));
  }
  surface.DrawMasked(area.left, area.top, coverage_, {}, Rect{0, 0, w, h}, colour_);
  const auto ink = static_cast<uint32_t>(surface.ColorToPixel(font_colour_));
  for (const Rect& r : underlines) surface.FillRect(Intersect(r, area), ink);
  if (focused && enabled_) surface.FillRect(Intersect(caret_rect_, area), ink);
}

}  // namespace novu

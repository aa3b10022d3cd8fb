#pragma once
// The glyphs of a text document: a flat list of characters, pictures and layout operations made
// from markup or read from a glyph stream. Layout (text_layout.h) fills in the geometry and the
// row that holds each glyph; the message window sets alpha and hover while it reveals a page.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/decorate.h"

namespace novu {
class TNovuParser;
}

namespace novu::text {

class TWdRow;

enum class GlyphKind : uint8_t {
  kChar,
  kVarChar,
  kSpace,
  kImg,
  kReturn,
  kVarReturn,
  kAlign,
  kIndent,
  kUndent,
  kEvent,
  kVar,
};

// Kind codes of the glyph stream.
enum : uint8_t {
  kCodeChar = 1,
  kCodeAlign = 2,
  kCodeReturn = 3,
  kCodeIndent = 4,
  kCodeUndent = 5,
  kCodeEvent = 6,
  kCodeVar = 7,
  kCodeImg = 9,
};

// Alignment values (horizontal for DIV, vertical for pictures).
enum : uint8_t {
  kAlignLeft = 1,
  kAlignRight = 2,
  kAlignCenter = 3,
  kAlignTop = 4,
  kAlignBottom = 5,
};

class TWdGlyph {
 public:
  virtual ~TWdGlyph() = default;
  virtual GlyphKind kind() const = 0;
  // The kind code this glyph is stored with, 0 for glyphs never stored (variable output).
  virtual uint8_t StreamCode() const { return 0; }
  // Characters of the source text this glyph stands for (0 for variable output and spacers).
  virtual int CharCount() const { return 1; }
  // The glyph as text for history and copying: a character's bytes, CR LF for a line break.
  virtual std::string Text() const { return {}; }
  // A copy for another document, whose style records it takes from `styles`.
  virtual std::unique_ptr<TWdGlyph> CopyFor(TDecorateList& styles) const = 0;
  // Vertical alignment of pictures (0 for everything else).
  virtual uint8_t VerticalAlign() const { return 0; }
  bool IsVisible() const;

  // Geometry after layout: position relative to its row, size, and the row holding it.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  TWdRow* row = nullptr;
};

// A visible glyph: it may carry link text and a reveal wait, and it fades in with its own alpha.
class TWdReal : public TWdGlyph {
 public:
  int alpha() const { return alpha_; }
  void SetAlpha(int alpha) { alpha_ = alpha < 0 ? 0 : alpha > 255 ? 255 : alpha; }

  std::string link;
  int32_t wait = 0;
  bool hovered = false;

 protected:
  void CopyRealTo(TWdReal& copy) const;

 private:
  int alpha_ = 255;
};

class TWdChar : public TWdReal {
 public:
  TWdChar(TDecorateList& styles, uint16_t code, const DecorateAttributes& style)
      : code_(code), style_(styles, style) {}
  GlyphKind kind() const override { return GlyphKind::kChar; }
  uint8_t StreamCode() const override { return kCodeChar; }
  std::string Text() const override;
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList& styles) const override;

  // A double-byte character is lead * 256 + trail.
  uint16_t code() const { return code_; }
  bool IsDoubleByte() const { return code_ > 0xFF; }
  const DecorateAttributes& style() const { return style_.attributes(); }
  const TDecorate* style_record() const { return style_.record(); }
  void ChangeStyle(const std::function<void(DecorateAttributes&)>& change) {
    style_.Change(change);
  }

 private:
  uint16_t code_;
  DecorateRef style_;
};

// A character produced by expanding a variable.
class TWdVarChar final : public TWdChar {
 public:
  using TWdChar::TWdChar;
  GlyphKind kind() const override { return GlyphKind::kVarChar; }
  uint8_t StreamCode() const override { return 0; }
  int CharCount() const override { return 0; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList& styles) const override;
};

// An empty spacer (the indentation at the start of a row).
class TWdSpace final : public TWdGlyph {
 public:
  explicit TWdSpace(int space_width) { width = space_width; }
  GlyphKind kind() const override { return GlyphKind::kSpace; }
  int CharCount() const override { return 0; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;
};

// An inline picture; its size comes from the picture source when it is laid out.
class TWdImg final : public TWdReal {
 public:
  GlyphKind kind() const override { return GlyphKind::kImg; }
  uint8_t StreamCode() const override { return kCodeImg; }
  uint8_t VerticalAlign() const override { return align; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;

  std::string source;
  uint8_t align = kAlignBottom;
  bool no_break = false;
  std::string ruby;
};

class TWdOpeReturn : public TWdGlyph {
 public:
  explicit TWdOpeReturn(bool clear_page = false) : clear(clear_page) {}
  GlyphKind kind() const override { return GlyphKind::kReturn; }
  uint8_t StreamCode() const override { return kCodeReturn; }
  std::string Text() const override { return "\r\n"; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;

  // The next row starts a new page.
  bool clear;
};

// A line break in a variable's value.
class TWdVarReturn final : public TWdOpeReturn {
 public:
  GlyphKind kind() const override { return GlyphKind::kVarReturn; }
  uint8_t StreamCode() const override { return 0; }
  int CharCount() const override { return 0; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;
};

class TWdOpeAlign final : public TWdGlyph {
 public:
  explicit TWdOpeAlign(uint8_t value) : align(value) {}
  GlyphKind kind() const override { return GlyphKind::kAlign; }
  uint8_t StreamCode() const override { return kCodeAlign; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;

  uint8_t align;
};

class TWdOpeIndent final : public TWdGlyph {
 public:
  GlyphKind kind() const override { return GlyphKind::kIndent; }
  uint8_t StreamCode() const override { return kCodeIndent; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;
};

class TWdOpeUndent final : public TWdGlyph {
 public:
  GlyphKind kind() const override { return GlyphKind::kUndent; }
  uint8_t StreamCode() const override { return kCodeUndent; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;
};

// An inline event. The text is kept without the end marker; `end` says the event ends a
// series (stored as a leading byte 0x01).
class TWdOpeEvent final : public TWdGlyph {
 public:
  TWdOpeEvent(std::string event_text, bool end_flag) : text(std::move(event_text)), end(end_flag) {}
  GlyphKind kind() const override { return GlyphKind::kEvent; }
  uint8_t StreamCode() const override { return kCodeEvent; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList&) const override;

  std::string text;
  bool end;
};

// A variable reference in the text. Streams older than version 102 carry the compiled
// expression instead of its text.
class TWdOpeVar final : public TWdGlyph {
 public:
  TWdOpeVar(TDecorateList& styles, std::string expression_text, const DecorateAttributes& style);
  ~TWdOpeVar() override;
  GlyphKind kind() const override { return GlyphKind::kVar; }
  uint8_t StreamCode() const override { return kCodeVar; }
  std::unique_ptr<TWdGlyph> CopyFor(TDecorateList& styles) const override;

  const DecorateAttributes& style() const { return style_.attributes(); }
  const TDecorate* style_record() const { return style_.record(); }

  std::string expression;
  std::unique_ptr<TNovuParser> compiled;
  int32_t wait = 0;
  std::string link;
  // The glyphs the last expansion inserted after this one (owned by the document).
  std::vector<TWdGlyph*> produced;

 private:
  DecorateRef style_;
};

}  // namespace novu::text

#include "text/glyphs.h"

#include "expr/novu_parser.h"

namespace novu::text {

bool TWdGlyph::IsVisible() const {
  const GlyphKind k = kind();
  return k == GlyphKind::kChar || k == GlyphKind::kVarChar || k == GlyphKind::kImg;
}

void TWdReal::CopyRealTo(TWdReal& copy) const {
  copy.link = link;
  copy.wait = wait;
  copy.hovered = hovered;
  copy.alpha_ = alpha_;
}

std::string TWdChar::Text() const {
  std::string text;
  if (IsDoubleByte()) text += static_cast<char>(code_ >> 8);
  text += static_cast<char>(code_ & 0xFF);
  return text;
}

std::unique_ptr<TWdGlyph> TWdChar::CopyFor(TDecorateList& styles) const {
  auto copy = std::make_unique<TWdChar>(styles, code_, style());
  CopyRealTo(*copy);
  return copy;
}

std::unique_ptr<TWdGlyph> TWdVarChar::CopyFor(TDecorateList& styles) const {
  auto copy = std::make_unique<TWdVarChar>(styles, code(), style());
  CopyRealTo(*copy);
  return copy;
}

std::unique_ptr<TWdGlyph> TWdSpace::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdSpace>(width);
}

std::unique_ptr<TWdGlyph> TWdImg::CopyFor(TDecorateList&) const {
  auto copy = std::make_unique<TWdImg>();
  CopyRealTo(*copy);
  copy->source = source;
  copy->align = align;
  copy->no_break = no_break;
  copy->ruby = ruby;
  return copy;
}

std::unique_ptr<TWdGlyph> TWdOpeReturn::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdOpeReturn>(clear);
}

std::unique_ptr<TWdGlyph> TWdVarReturn::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdVarReturn>();
}

std::unique_ptr<TWdGlyph> TWdOpeAlign::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdOpeAlign>(align);
}

std::unique_ptr<TWdGlyph> TWdOpeIndent::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdOpeIndent>();
}

std::unique_ptr<TWdGlyph> TWdOpeUndent::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdOpeUndent>();
}

std::unique_ptr<TWdGlyph> TWdOpeEvent::CopyFor(TDecorateList&) const {
  return std::make_unique<TWdOpeEvent>(text, end);
}

TWdOpeVar::TWdOpeVar(TDecorateList& styles, std::string expression_text,
                     const DecorateAttributes& style)
    : expression(std::move(expression_text)), style_(styles, style) {}

TWdOpeVar::~TWdOpeVar() = default;

std::unique_ptr<TWdGlyph> TWdOpeVar::CopyFor(TDecorateList& styles) const {
  auto copy = std::make_unique<TWdOpeVar>(styles, expression, style());
  if (compiled) {
    copy->compiled = std::make_unique<TNovuParser>();
    copy->compiled->Assign(*compiled);
  }
  copy->wait = wait;
  copy->link = link;
  return copy;
}

}  // namespace novu::text

#pragma once
// A page of message markup laid out and composed onto a plain background with every glyph fully
// shown: what `novutool text render` writes for authors to check their text, and what tests
// look at.
#include <cstdint>
#include <span>
#include <string>

#include "render/dibx.h"
#include "text/kx_word.h"
#include "text/page_surfaces.h"
#include "text/text_layout.h"

namespace novu::text {

struct TextPreviewOptions {
  int page = 0;                   // clamped to the pages there are
  int margin = 8;                 // background around the page on every side
  int32_t background = 0x402020;  // 0x00BBGGRR
};

class TextPreview {
 public:
  // The document's settings (font, size, wrap width, visible height, colours, anti-alias
  // level) are taken from `word.settings`, which the caller sets before Render.
  TKxWord word;
  PageList pages;
  TextPageSurfaces surfaces;
  // The page at (margin, margin) on the background; 32 bits.
  render::TDIBX picture;

  // Parses the markup (CP932 lines), lays it out, renders the chosen page through `painter`
  // and composes it. Throws NovuError for markup the parser refuses.
  void Render(std::span<const std::string> lines, GlyphPainter& painter,
              const TextPreviewOptions& options = {});

  // The page shown (null when the text has none) and where it lies on the picture.
  const TWdPage* shown_page() const { return shown_; }
  Rect PageRect() const { return page_rect_; }

 private:
  const TWdPage* shown_ = nullptr;
  Rect page_rect_{};
};

}  // namespace novu::text

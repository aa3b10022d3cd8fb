#pragma once
// Shared by the text fuzz targets: a document laid out at a few wrap widths, visible heights and
// line spacings (pictures get sizes from their names), every page hit-tested down its height.
#include <tuple>

#include "text/text_layout.h"

namespace novu::fuzz {

inline void LayOutEveryWay(text::TKxWord& word) {
  const text::PictureMeasure measure = [](const text::TWdImg& img) {
    return text::GlyphSize{static_cast<int>(img.source.size() * 7 % 90),
                           static_cast<int>(img.source.size() * 13 % 70)};
  };
  for (auto [wrap, visible, spacing] : {std::tuple{120, 36, 0}, {0, 0, 3}, {30, 200, 5}}) {
    word.settings.wrap_width = wrap;
    word.settings.visible_height = visible;
    word.settings.line_spacing = spacing;
    text::PageList pages;
    text::LayoutGlyphs(word, pages, 0, -1, measure);
    for (const auto& page : pages) {
      for (int y = 0; y < page->height; y += 7) page->GlyphAt(5, y, visible);
    }
  }
}

}  // namespace novu::fuzz

#include "text/text_preview.h"

#include <algorithm>

namespace novu::text {

void TextPreview::Render(std::span<const std::string> lines, GlyphPainter& painter,
                         const TextPreviewOptions& options) {
  pages.clear();
  shown_ = nullptr;
  word.SetSource(lines);
  LayoutGlyphs(word, pages);
  const int margin = std::clamp(options.margin, 0, 1024);
  int width = 0, height = 0;
  if (!pages.empty()) {
    const TWdPage& page =
        *pages[static_cast<size_t>(std::clamp<int>(options.page, 0, int(pages.size()) - 1))];
    shown_ = &page;
    surfaces.Redraw(word, page, painter, /*reset_alpha=*/false);
    width = surfaces.colour().Width();
    height = surfaces.colour().Height();
  }
  page_rect_ = MakeRect(margin, margin, width, height);
  picture.SetSize(width + 2 * margin, height + 2 * margin, 32);
  picture.Clear(static_cast<uint32_t>(picture.ColorToPixel(options.background)));
  if (shown_) {
    surfaces.Draw(word, *shown_, picture, margin, margin,
                  Rect{0, 0, picture.Width(), picture.Height()});
  }
}

}  // namespace novu::text

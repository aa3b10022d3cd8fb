#pragma once
// The page surfaces' character painter in the player: each character comes from the glyph
// cache at the document's anti-alias level and is drawn with its border, shadow and bars.
#include "text/font_pixel.h"
#include "text/page_surfaces.h"

namespace novu::text {

class FontPixelPainter : public GlyphPainter {
 public:
  // The cache must outlive the painter.
  explicit FontPixelPainter(TFontPixelManager& cache) : cache_(cache) {}

  Rect Paint(const CharacterPaint& paint, render::TCustomDIBX& colour,
             render::TCustomDIBX& coverage) override;

 private:
  TFontPixelManager& cache_;
};

}  // namespace novu::text

#include "text/font_pixel_painter.h"

namespace novu::text {

render::Rect FontPixelPainter::Paint(const CharacterPaint& paint, render::TCustomDIBX& colour,
                                     render::TCustomDIBX& coverage) {
  cache_.SetLevel(paint.level);
  // Held while drawing: the cache may drop the entry at the next miss, never under us.
  const auto pixel = cache_.Get(paint.code, paint.font_name, paint.flags, paint.size);
  GlyphDrawSpec spec;
  spec.cell = paint.cell;
  spec.text_colour = paint.text_colour;
  spec.border_colour = paint.border_colour;
  spec.shadow_colour = paint.shadow_colour;
  spec.border_width = paint.border_width;
  spec.shadow_offset = paint.shadow_offset;
  spec.previous_differs = paint.previous_differs;
  spec.next_differs = paint.next_differs;
  return TFontPixelManager::Draw(*pixel, colour, coverage, spec);
}

}  // namespace novu::text

#include "text/font_pixel_painter.h"

namespace novu::text {

Rect FontPixelPainter::Paint(const CharacterPaint& paint, render::TCustomDIBX& colour,
                             render::TCustomDIBX& coverage) {
  cache_.SetLevel(paint.level);
  // Held while drawing: the cache may drop the entry at the next miss, never under us.
  const auto pixel = cache_.Get(paint.code, paint.font_name, paint.flags, paint.size);
  GlyphDrawSpec draw;
  draw.cell = paint.cell;
  draw.text_colour = paint.text_colour;
  draw.border_colour = paint.border_colour;
  draw.shadow_colour = paint.shadow_colour;
  draw.border_width = paint.border_width;
  draw.shadow_offset = paint.shadow_offset;
  draw.previous_differs = paint.previous_differs;
  draw.next_differs = paint.next_differs;
  return TFontPixelManager::Draw(*pixel, colour, coverage, draw);
}

}  // namespace novu::text

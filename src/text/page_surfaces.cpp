#include "text/page_surfaces.h"

#include <algorithm>

#include "core/cp932.h"

namespace novu::text {
namespace {

const TWdChar* AsChar(const TWdGlyph* g) {
  if (!g) return nullptr;
  const GlyphKind k = g->kind();
  return k == GlyphKind::kChar || k == GlyphKind::kVarChar ? static_cast<const TWdChar*>(g)
                                                           : nullptr;
}

int32_t OrDefault(int32_t own, int32_t fallback) {
  return own == -1 ? fallback : own;
}

// Two neighbouring characters whose borders and shadows join.
bool JoinsWith(const TKxWord& word, const TWdChar& a, const TWdChar* b) {
  if (!b) return false;
  const DecorateAttributes& x = a.style();
  const DecorateAttributes& y = b->style();
  return BorderWidthOf(word, x) == BorderWidthOf(word, y) &&
         ShadowOffsetOf(word, x) == ShadowOffsetOf(word, y) &&
         OrDefault(x.border_colour, word.settings.border_colour) ==
             OrDefault(y.border_colour, word.settings.border_colour) &&
         OrDefault(x.shadow_colour, word.settings.shadow_colour) ==
             OrDefault(y.shadow_colour, word.settings.shadow_colour);
}

CharacterPaint BasePaint(const TKxWord& word, const TWdChar& ch) {
  const DecorateAttributes& style = ch.style();
  CharacterPaint p;
  p.code = ch.code();
  p.font_name = !style.font_name.empty()           ? style.font_name
                : !word.settings.font_name.empty() ? word.settings.font_name
                                                   : std::string(kDefaultTextFont);
  p.flags = style.flags | (ch.link.empty() ? 0 : FS_UNDERLINE);
  p.size = CharacterSize(word, style);
  p.level = word.settings.anti_alias;
  p.text_colour = TextColourOf(word, ch);
  p.border_colour = OrDefault(style.border_colour, word.settings.border_colour);
  p.shadow_colour = OrDefault(style.shadow_colour, word.settings.shadow_colour);
  p.border_width = BorderWidthOf(word, style);
  p.shadow_offset = ShadowOffsetOf(word, style);
  return p;
}

}  // namespace

int32_t TextColourOf(const TKxWord& word, const TWdChar& ch) {
  if (ch.hovered) return word.settings.hover_colour;
  const int32_t own = ch.style().colour;
  if (own != -1) return own;
  return ch.link.empty() ? word.settings.colour : word.settings.link_colour;
}

int PictureAlphaCode(int glyph_alpha, int document_alpha) {
  if (document_alpha == 255) return glyph_alpha;
  if (document_alpha < 256) return glyph_alpha * document_alpha / 256;
  return glyph_alpha * (document_alpha - 256) / 256 + 256;
}

void TextPageSurfaces::Redraw(const TKxWord& word, const TWdPage& page, GlyphPainter& painter,
                              bool reset_alpha, int depth) {
  const int visible = word.settings.visible_height;
  const int width = std::clamp(page.width, 1, kMaxWidth);
  const int height = std::clamp(visible > 0 ? visible : page.height, 1, kMaxHeight);
  colour_.SetSize(width, height, depth);
  coverage_.SetSize(width, height, 8);
  colour_.Clear(0);
  coverage_.Clear(0);
  changed_.clear();
  for (const auto& row : page.rows) {
    for (size_t i = 0; i < row->glyphs.size(); ++i) {
      TWdGlyph* g = row->glyphs[i];
      if (reset_alpha && g->IsVisible()) static_cast<TWdReal*>(g)->SetAlpha(0);
      if (AsChar(g)) RenderCharacter(word, *row, i, painter);
    }
  }
}

void TextPageSurfaces::RenderCharacter(const TKxWord& word, const TWdRow& row, size_t index,
                                       GlyphPainter& painter) {
  const TWdChar& ch = *AsChar(row.glyphs[index]);
  const TWdChar* previous = index > 0 ? AsChar(row.glyphs[index - 1]) : nullptr;
  const TWdChar* next = index + 1 < row.glyphs.size() ? AsChar(row.glyphs[index + 1]) : nullptr;
  CharacterPaint paint = BasePaint(word, ch);
  const int left = row.x + ch.x;
  int top = row.y + ch.y;
  int height = ch.height;

  const std::string& ruby = ch.style().ruby;
  if (!ruby.empty()) {
    const int band = RubyBandHeight(paint.size);
    const bool starts_run = !previous || previous->style().ruby != ruby;
    if (starts_run) {
      int run_width = 0;
      for (size_t k = index; k < row.glyphs.size(); ++k) {
        const TWdChar* c = AsChar(row.glyphs[k]);
        if (!c || c->style().ruby != ruby) break;
        run_width += c->width;
      }
      const std::vector<int> xs = RubyPositions(ruby, run_width, band);
      size_t at = 0;
      for (size_t n = 0; n < xs.size(); ++n) {
        CharacterPaint r = paint;
        const auto lead = static_cast<uint8_t>(ruby[at]);
        const bool wide = cp932::IsLeadByte(lead) && at + 1 < ruby.size();
        r.code =
            wide ? static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(ruby[at + 1])) : lead;
        at += wide ? 2 : 1;
        r.size = band;
        r.flags = paint.flags & (FS_BOLD | FS_ITALIC);
        r.border_width = std::min(1, paint.border_width);
        r.shadow_offset = std::min(1, paint.shadow_offset);
        r.cell = MakeRect(left + xs[n], top, wide ? band : std::max(1, band / 2), band);
        r.previous_differs = true;
        r.next_differs = true;
        changed_.push_back(painter.Paint(r, colour_, coverage_));
      }
    }
    top += band;
    height -= band;
  }
  paint.cell = MakeRect(left, top, ch.width, height);
  paint.previous_differs = !JoinsWith(word, ch, previous);
  paint.next_differs = !JoinsWith(word, ch, next);
  changed_.push_back(painter.Paint(paint, colour_, coverage_));
}

// Neighbouring glyphs drawn the same way are composed in one call: a row of text at one alpha
// costs one masked blend, not one per character.
bool TextPageSurfaces::GlyphSpan::Extend(const GlyphSpan& next) {
  if (source.IsEmpty() || next.alpha != alpha || next.from_colour != from_colour ||
      next.raw != raw || next.source.top != source.top || next.source.bottom != source.bottom ||
      next.source.left != source.right || next.x != x + source.Width() || next.y != y) {
    return false;
  }
  source.right = next.source.right;
  return true;
}

void TextPageSurfaces::Flush(GlyphSpan& span, render::TCustomDIBX& target) const {
  if (span.source.IsEmpty()) return;
  if (!span.from_colour) {
    target.DrawMaskColor(span.x, span.y, span.alpha, span.raw, {}, span.source, coverage_);
  } else if (span.alpha < 255) {
    target.DrawAlphaMasked(span.x, span.y, span.alpha, coverage_, {}, span.source, colour_);
  } else {
    target.DrawMasked(span.x, span.y, coverage_, {}, span.source, colour_);
  }
  span = GlyphSpan();
}

void TextPageSurfaces::Draw(const TKxWord& word, const TWdPage& page, render::TCustomDIBX& target,
                            int origin_x, int origin_y, const Rect& clip,
                            const PictureDraw& draw_picture) const {
  if (colour_.IsEmpty()) return;
  const int visible = word.settings.visible_height;
  const Rect area =
      MakeRect(origin_x, origin_y, page.width, visible > 0 ? visible : std::max(page.height, 0));
  const Rect limit = Intersect(area, clip);
  if (limit.IsEmpty()) return;
  const Rect saved_clip = target.ClipRect();
  const bool had_clip = target.HasClip();
  target.SetClipRect(had_clip ? Intersect(limit, saved_clip) : limit);

  const int top = origin_y - page.scroll;
  const Rect surface{0, 0, colour_.Width(), colour_.Height()};
  GlyphSpan span;
  for (const auto& row : page.rows) {
    if (top + row->y >= limit.bottom || top + row->y + row->height <= limit.top) continue;
    for (const TWdGlyph* g : row->glyphs) {
      if (!g->IsVisible()) continue;
      const int alpha = static_cast<const TWdReal*>(g)->alpha();
      if (alpha <= 0) continue;
      const int x = origin_x + row->x + g->x;
      const int y = top + row->y + g->y;
      if (g->kind() == GlyphKind::kImg) {
        Flush(span, target);
        const int code = PictureAlphaCode(alpha, word.settings.alpha);
        if (draw_picture && code > 0) {
          draw_picture(static_cast<const TWdImg&>(*g), target, x, y, code);
        }
        continue;
      }
      const auto& ch = static_cast<const TWdChar&>(*g);
      // Only the part of the cell that lies on the (possibly capped) page surfaces.
      const Rect cell = MakeRect(row->x + g->x, row->y + g->y, g->width, g->height);
      const Rect source = Intersect(cell, surface);
      if (source.IsEmpty()) continue;
      GlyphSpan next;
      next.x = x + source.left - cell.left;
      next.y = y + source.top - cell.top;
      next.source = source;
      next.alpha = alpha;
      next.from_colour =
          BorderWidthOf(word, ch.style()) > 0 || ShadowOffsetOf(word, ch.style()) > 0;
      if (!next.from_colour) {
        next.raw = static_cast<uint32_t>(target.ColorToPixel(TextColourOf(word, ch)));
      }
      if (!span.Extend(next)) {
        Flush(span, target);
        span = next;
      }
    }
    Flush(span, target);
  }
  target.RestoreClip(saved_clip, had_clip);
}

}  // namespace novu::text

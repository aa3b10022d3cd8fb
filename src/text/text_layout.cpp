#include "text/text_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/cp932.h"

namespace novu::text {
namespace {

// Characters that may not start a line: 。、｣」』)）､｡!?！？】
constexpr uint16_t kNoStart[] = {0x8142, 0x8141, 0xA3, 0x8176, 0x8178, 0x29,   0x816A,
                                 0xA4,   0xA1,   0x21, 0x3F,   0x8149, 0x8148, 0x817A};
// Characters that may not end a line: ｢「『（([<【
constexpr uint16_t kNoEnd[] = {0xA2, 0x8175, 0x8177, 0x8169, 0x28, 0x5B, 0x3C, 0x8179};

// The span of a document that does not wrap.
constexpr int kUnlimited = INT_MAX / 4;

const TWdChar* AsChar(const TWdGlyph& g) {
  const GlyphKind k = g.kind();
  return k == GlyphKind::kChar || k == GlyphKind::kVarChar ? static_cast<const TWdChar*>(&g)
                                                           : nullptr;
}

bool IsIn(const TWdGlyph& g, std::span<const uint16_t> codes) {
  const TWdChar* ch = AsChar(g);
  return ch && std::find(codes.begin(), codes.end(), ch->code()) != codes.end();
}

bool NoBreakOf(const TWdGlyph& g) {
  if (const TWdChar* ch = AsChar(g)) return ch->style().no_break;
  if (g.kind() == GlyphKind::kImg) return static_cast<const TWdImg&>(g).no_break;
  return false;
}

std::string_view RubyOf(const TWdGlyph& g) {
  if (const TWdChar* ch = AsChar(g)) return ch->style().ruby;
  if (g.kind() == GlyphKind::kImg) return static_cast<const TWdImg&>(g).ruby;
  return {};
}

bool IsLineBreak(const TWdGlyph& g) {
  return g.kind() == GlyphKind::kReturn || g.kind() == GlyphKind::kVarReturn;
}

bool IsFloating(const TWdGlyph& g) {
  const uint8_t a = g.VerticalAlign();
  return g.kind() == GlyphKind::kImg && (a == kAlignLeft || a == kAlignRight);
}

// Glyphs the layout loop handles itself: they never join a run.
bool IsOperation(const TWdGlyph& g) {
  const GlyphKind k = g.kind();
  return k == GlyphKind::kAlign || k == GlyphKind::kIndent || k == GlyphKind::kUndent ||
         IsFloating(g);
}

bool IsVerticallyAligned(const TWdGlyph& g) {
  const uint8_t a = g.VerticalAlign();
  return a >= kAlignCenter && a <= kAlignBottom;
}

struct FloatRect {
  int left, top, right, bottom;
  bool at_left;
};

struct Span {
  int left;
  int right;
};

class FloatList {
 public:
  explicit FloatList(int wrap) : wrap_(wrap > 0 ? wrap : kUnlimited) {}

  Span SpanAt(int y) const {
    Span span{0, wrap_};
    for (const FloatRect& r : rects_) {
      if (r.top > y || y >= r.bottom) continue;
      if (r.at_left) {
        span.left = std::max(span.left, r.right);
      } else {
        span.right = std::min(span.right, r.left);
      }
    }
    return span;
  }
  void Add(FloatRect r) { rects_.push_back(r); }

 private:
  int wrap_;
  std::vector<FloatRect> rects_;
};

// Heights of a row from its glyphs: text height, space above and below.
void MeasureRow(TWdRow& row) {
  int t = 0;
  for (const TWdGlyph* g : row.glyphs) {
    if (!IsVerticallyAligned(*g) && !IsFloating(*g)) t = std::max(t, g->height);
  }
  int above = 0;
  int below = 0;
  for (const TWdGlyph* g : row.glyphs) {
    switch (IsVerticallyAligned(*g) ? g->VerticalAlign() : 0) {
      case kAlignCenter: {
        const int overhang = (g->height - t + 1) / 2;
        above = std::max(above, overhang);
        below = std::max(below, overhang);
        break;
      }
      case kAlignTop:
        below = std::max(below, g->height - t);
        break;
      case kAlignBottom:
        above = std::max(above, g->height - t);
        break;
      default:
        break;
    }
  }
  row.text_height = t;
  row.above = above;
  row.below = below;
  row.height = above + t + below;
}

// Row layout: starting x from the alignment, glyphs side by side, each on its vertical place.
void PlaceRow(TWdRow& row) {
  MeasureRow(row);
  int x = row.left_limit;
  if (row.align == kAlignRight) {
    x = row.right_limit - row.width;
  } else if (row.align == kAlignCenter) {
    x = row.left_limit + (row.right_limit - row.left_limit - row.width) / 2;
  }
  row.width += x;
  for (TWdGlyph* g : row.glyphs) {
    if (IsFloating(*g)) {
      g->y = 0;
      continue;
    }
    g->x = x;
    x += g->width;
    if (g->height == 0) {
      g->y = row.above;
    } else if (g->VerticalAlign() == kAlignCenter) {
      g->y = row.above + (row.text_height - g->height) / 2;
    } else if (g->VerticalAlign() == kAlignTop) {
      g->y = row.above;
    } else {
      g->y = row.height - row.below - g->height;
    }
  }
}

class Layouter {
 public:
  Layouter(TKxWord& word, PageList& pages, const PictureMeasure& measure)
      : word_(word),
        pages_(pages),
        measure_(measure),
        settings_(word.settings),
        floats_(word.settings.wrap_width) {}

  void Run(int first, int last) {
    for (int i = first; i <= last; ++i) Measure(*word_.Item(i));
    int i = first;
    while (i <= last) i = Step(i, last);
    for (TWdPage* page : made_) FinishPage(*page);
  }

 private:
  bool Paging() const { return settings_.paging && settings_.visible_height > 0; }

  void Measure(TWdGlyph& g) {
    if (const TWdChar* ch = AsChar(g)) {
      const GlyphSize cell = CellSize(word_, *ch);
      g.width = cell.width;
      g.height = cell.height;
    } else if (g.kind() == GlyphKind::kImg) {
      const GlyphSize size = measure_ ? measure_(static_cast<const TWdImg&>(g)) : GlyphSize{};
      g.width = std::max(size.width, 0);
      g.height = std::max(size.height, 0);
    } else {
      g.width = 0;
      g.height = 0;
    }
    g.row = nullptr;
  }

  void NewPage() {
    floats_ = FloatList(settings_.wrap_width);
    auto& page = pages_.emplace_back(std::make_unique<TWdPage>());
    page_ = page.get();
    made_.push_back(page_);
    y_ = 0;
  }

  void EnsureRow() {
    if (!page_) NewPage();
    if (row_) return;
    auto row = std::make_unique<TWdRow>();
    row->y = y_;
    row->align = align_;
    row->width = indent_;
    const Span span = floats_.SpanAt(y_);
    row->left_limit = span.left;
    row->right_limit = span.right;
    if (indent_ > 0) {
      row->spacer = std::make_unique<TWdSpace>(indent_);
      row->spacer->row = row.get();
      row->glyphs.push_back(row->spacer.get());
    }
    row_ = row.get();
    page_->rows.push_back(std::move(row));
  }

  void EndRow(bool with_spacing) {
    MeasureRow(*row_);
    y_ += row_->height + (with_spacing ? settings_.line_spacing : 0);
    row_ = nullptr;
  }

  void DropRow() {
    for (TWdGlyph* g : row_->glyphs) g->row = nullptr;
    page_->rows.pop_back();
    row_ = nullptr;
  }

  void AddToRow(TWdGlyph& g) {
    row_->glyphs.push_back(&g);
    g.row = row_;
  }

  // True when the row holds anything besides its indentation.
  bool RowHasGlyphs() const { return row_->glyphs.size() > (row_->spacer ? 1u : 0u); }

  int Step(int i, int last) {
    TWdGlyph& g = *word_.Item(i);
    switch (g.kind()) {
      case GlyphKind::kAlign:
        align_ = static_cast<TWdOpeAlign&>(g).align;
        if (row_ && !row_->HasVisibleGlyph()) row_->align = align_;
        return i + 1;
      case GlyphKind::kIndent:
        indent_ = row_ ? row_->width : 0;
        return i + 1;
      case GlyphKind::kUndent:
        indent_ = 0;
        return i + 1;
      default:
        break;
    }
    EnsureRow();
    if (IsFloating(g)) return Float(i, static_cast<TWdImg&>(g));
    return TakeRun(i, last);
  }

  int Float(int i, TWdImg& img) {
    if (RowHasGlyphs()) {
      EndRow(false);
      return i;
    }
    if (Paging() && page_->rows.size() > 1 && y_ + img.height > settings_.visible_height) {
      DropRow();
      page_ = nullptr;
      return i;
    }
    const Span span = floats_.SpanAt(y_);
    const bool at_left = img.align == kAlignLeft;
    const int left = at_left ? span.left : span.right - img.width;
    floats_.Add({left, y_, left + img.width, y_ + img.height, at_left});
    img.x = left;
    AddToRow(img);
    const Span beside = floats_.SpanAt(y_);
    row_->left_limit = beside.left;
    row_->right_limit = beside.right;
    return i + 1;
  }

  // The end (exclusive) of the run that starts at `i`.
  int RunEnd(int i, int last) const {
    int j = i;
    while (true) {
      const TWdGlyph& g = *word_.Item(j);
      ++j;
      if (IsLineBreak(g)) return j;
      if (j > last) return j;
      const TWdGlyph& next = *word_.Item(j);
      if (IsOperation(next) || MayBreakBetween(g, next)) return j;
    }
  }

  int TakeRun(int i, int last) {
    int end = RunEnd(i, last);
    // A lone glyph that may not end a line takes the next run with it.
    if (end == i + 1 && end <= last && !MayEndLine(*word_.Item(i)) &&
        !IsLineBreak(*word_.Item(end)) && !IsOperation(*word_.Item(end))) {
      end = RunEnd(end, last);
    }
    int run_width = 0;
    for (int k = i; k < end; ++k) run_width += word_.Item(k)->width;

    const int span = row_->right_limit - row_->left_limit;
    // A row holding nothing yet (or only its indentation) takes the run even when it overflows.
    if (row_->width != 0 && RowHasGlyphs() && settings_.wrap_width != 0 &&
        row_->width + run_width > span) {
      EndRow(true);
      return i;
    }
    for (int k = i; k < end; ++k) {
      AddToRow(*word_.Item(k));
      if (Paging() && page_->rows.size() > 1) {
        MeasureRow(*row_);
        if (y_ + row_->height > settings_.visible_height) return MoveRowToNewPage();
      }
    }
    row_->width += run_width;
    const TWdGlyph& tail = *word_.Item(end - 1);
    if (IsLineBreak(tail)) {
      EndRow(true);
      if (static_cast<const TWdOpeReturn&>(tail).clear) page_ = nullptr;
    }
    return end;
  }

  // The row does not fit under the page's other rows: it starts the next page instead.
  int MoveRowToNewPage() {
    const size_t first = row_->spacer ? 1 : 0;
    const int restart = word_.IndexOf(row_->glyphs[first]);
    DropRow();
    NewPage();
    return restart;
  }

  void FinishPage(TWdPage& page) {
    int widest = 0;
    for (const auto& row : page.rows) widest = std::max(widest, row->width);
    const bool wraps = settings_.wrap_width > 0;
    page.width = wraps ? settings_.wrap_width : widest;
    page.height = 0;
    for (const auto& row : page.rows) {
      if (!wraps) row->right_limit = std::min(row->right_limit, std::max(widest, row->left_limit));
      PlaceRow(*row);
      page.height = std::max(page.height, row->y + row->height);
      if (!wraps) page.width = std::max(page.width, row->width);
    }
  }

  TKxWord& word_;
  PageList& pages_;
  const PictureMeasure& measure_;
  const KxWordSettings& settings_;
  FloatList floats_;
  std::vector<TWdPage*> made_;
  TWdPage* page_ = nullptr;
  TWdRow* row_ = nullptr;
  int y_ = 0;
  uint8_t align_ = kAlignLeft;
  int indent_ = 0;
};

}  // namespace

bool TWdRow::HasVisibleGlyph() const {
  return std::any_of(glyphs.begin(), glyphs.end(),
                     [](const TWdGlyph* g) { return g->IsVisible(); });
}

TWdGlyph* TWdPage::GlyphAt(int x, int y, int visible_height) const {
  if (x < 0 || x >= width || y < 0 || (visible_height > 0 && y >= visible_height)) return nullptr;
  const int page_y = y + scroll;
  for (const auto& row : rows) {
    if (page_y < row->y || page_y >= row->y + row->height || x >= row->width) continue;
    for (TWdGlyph* g : row->glyphs) {
      const auto* real = dynamic_cast<const TWdReal*>(g);
      if (!real || real->alpha() <= 254) continue;
      if (x >= g->x && x < g->x + g->width && page_y >= row->y + g->y &&
          page_y < row->y + g->y + g->height) {
        return g;
      }
    }
  }
  for (const auto& row : rows) {
    for (TWdGlyph* g : row->glyphs) {
      if (g->kind() != GlyphKind::kImg) continue;
      if (x >= g->x && x < g->x + g->width && page_y >= row->y + g->y &&
          page_y < row->y + g->y + g->height) {
        return g;
      }
    }
  }
  return nullptr;
}

int CharacterSize(const TKxWord& word, const DecorateAttributes& style) {
  const int size = style.size != 0 ? style.size : word.settings.font_size;
  return std::min(std::abs(size == INT32_MIN ? kMaxCharacterSize : size), kMaxCharacterSize);
}

int BorderWidthOf(const TKxWord& word, const DecorateAttributes& style) {
  const int width = style.border_width >= 0 ? style.border_width : word.settings.border_width;
  return std::clamp(width, 0, kMaxCellBorder);
}

int ShadowOffsetOf(const TKxWord& word, const DecorateAttributes& style) {
  const int offset = style.shadow_offset >= 0 ? style.shadow_offset : word.settings.shadow_offset;
  return std::clamp(offset, 0, kMaxCellShadow);
}

GlyphSize CellSize(const TKxWord& word, const TWdChar& ch) {
  const DecorateAttributes& style = ch.style();
  const int s = CharacterSize(word, style);
  GlyphSize cell{s, s};
  if (style.flags & FS_ITALIC) cell.width += s / 5;
  if (!style.ruby.empty()) cell.height += RubyBandHeight(s);
  const int grow = 2 * BorderWidthOf(word, style) + ShadowOffsetOf(word, style);
  cell.width += grow;
  cell.height += grow;
  return cell;
}

bool MayStartLine(const TWdGlyph& glyph) {
  return !IsIn(glyph, kNoStart);
}

bool MayEndLine(const TWdGlyph& glyph) {
  return !IsIn(glyph, kNoEnd);
}

bool MayBreakBetween(const TWdGlyph& previous, const TWdGlyph& glyph) {
  if (NoBreakOf(previous) && NoBreakOf(glyph)) return false;
  const std::string_view ruby = RubyOf(glyph);
  if (!ruby.empty() && ruby == RubyOf(previous)) return false;
  const TWdChar* p = AsChar(previous);
  const TWdChar* g = AsChar(glyph);
  if (p && g && p->code() >= 33 && p->code() <= 255 && g->code() >= 33 && g->code() <= 255) {
    return false;
  }
  if (g && g->code() == ' ' && !(p && p->code() == ' ')) return false;
  return MayStartLine(glyph);
}

std::vector<int> RubyPositions(std::string_view ruby, int run_width, int ruby_size) {
  std::vector<bool> double_byte;
  for (size_t i = 0; i < ruby.size(); ++i) {
    const bool wide = cp932::IsLeadByte(static_cast<uint8_t>(ruby[i])) && i + 1 < ruby.size();
    double_byte.push_back(wide);
    if (wide) ++i;
  }
  const int n = static_cast<int>(double_byte.size());
  std::vector<int> positions;
  for (int i = 0; i < n; ++i) {
    const double centre = static_cast<double>(2 * i + 1) * run_width / n / 2;
    const int shift = double_byte[static_cast<size_t>(i)] ? ruby_size / 2 : ruby_size / 4;
    positions.push_back(static_cast<int>(std::nearbyint(centre)) - shift);
  }
  return positions;
}

void LayoutGlyphs(TKxWord& word, PageList& pages, int first, int last,
                  const PictureMeasure& measure) {
  if (word.Count() == 0) return;
  int last_index = word.Count() - 1;
  if (last >= 0) {
    const int at = word.GlyphAtTextPosition(last);
    if (at >= 0) last_index = at;
  }
  first = std::max(first, 0);
  if (first > last_index) return;
  Layouter(word, pages, measure).Run(first, last_index);
}

}  // namespace novu::text

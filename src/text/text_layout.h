#pragma once
// Layout of a text document: its flat glyph list cut into pages of rows on a fixed character
// grid (a cell's size follows from the character's size and style, never from its shape), with
// Japanese line-breaking rules, alignment, indentation, ruby and pictures floating at the left
// or right edge.
//
//   std::vector<std::unique_ptr<TWdPage>> pages;
//   LayoutGlyphs(word, pages, 0, -1, measure_picture);
//   // each row's glyphs have x, y (relative to the row), width and height; rows have x, y
//   // relative to their page.
//
// Rows and pages refer to the document's glyphs (which must outlive them) and own only the
// indentation spacers they add.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "text/kx_word.h"

namespace novu::text {

struct GlyphSize {
  int width = 0;
  int height = 0;
};

// The size of an inline picture (its first frame; 0 x 0 when the file does not exist).
using PictureMeasure = std::function<GlyphSize(const TWdImg&)>;

// A laid-out line. Floating pictures keep the place they were given; all other glyphs follow
// each other from the row's starting x.
class TWdRow {
 public:
  std::vector<TWdGlyph*> glyphs;
  std::unique_ptr<TWdSpace> spacer;  // the indentation, first in `glyphs` when present
  uint8_t align = kAlignLeft;
  // The free span of the line between floating pictures.
  int left_limit = 0;
  int right_limit = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  // Tallest glyph that is not vertically aligned, and extra space above and below it.
  int text_height = 0;
  int above = 0;
  int below = 0;

  bool HasVisibleGlyph() const;
};

class TWdPage {
 public:
  std::vector<std::unique_ptr<TWdRow>> rows;
  // The wrap width, or the widest row when the document does not wrap.
  int width = 0;
  // The largest bottom of its rows.
  int height = 0;
  // Scrolled distance (rows are hit and drawn at y - scroll).
  int scroll = 0;

  // The glyph under (x, y) relative to the page: the first glyph of a row holding the point
  // that is fully shown (alpha above 254), else any picture whose rectangle holds it. Points
  // outside the page width or the visible height (0: unlimited) find nothing.
  TWdGlyph* GlyphAt(int x, int y, int visible_height) const;
};

using PageList = std::vector<std::unique_ptr<TWdPage>>;

// Lays out glyphs first..(the glyph at text position last; -1: to the end) into new pages
// appended to `pages`, measuring characters by their cells and pictures with `measure` (no
// measure: pictures are 0 x 0). A visible height of 0 means one page of unlimited height
// (only CLEAR starts another).
void LayoutGlyphs(TKxWord& word, PageList& pages, int first = 0, int last = -1,
                  const PictureMeasure& measure = {});

// --- the rules, exposed for the owners that measure text themselves ---

// A border or shadow wider than this is laid out (and drawn) this wide.
inline constexpr int kMaxCellBorder = 8;
inline constexpr int kMaxCellShadow = 64;
// Character sizes are used as their magnitude, at most this.
inline constexpr int kMaxCharacterSize = 1024;

// The character size of a style (the document's when 0).
int CharacterSize(const TKxWord& word, const DecorateAttributes& style);
int BorderWidthOf(const TKxWord& word, const DecorateAttributes& style);
int ShadowOffsetOf(const TKxWord& word, const DecorateAttributes& style);
// Height of the ruby band above a character of size s.
inline int RubyBandHeight(int size) {
  return size / 2 > 1 ? size / 2 : 1;
}
GlyphSize CellSize(const TKxWord& word, const TWdChar& ch);
// Whether a line may break between `previous` and `glyph`.
bool MayBreakBetween(const TWdGlyph& previous, const TWdGlyph& glyph);
// Whether `glyph` may start / end a line.
bool MayStartLine(const TWdGlyph& glyph);
bool MayEndLine(const TWdGlyph& glyph);
// Left edges, relative to the run, of the n characters of a ruby text over a run of width
// `run_width`: the i-th is centred at (2i + 1) * w / n / 2 (rounded to nearest, halves to even) and
// moved left by half its size (double-byte) or a quarter (single-byte).
std::vector<int> RubyPositions(std::string_view ruby, int run_width, int ruby_size);

}  // namespace novu::text

#pragma once
// Where character glyphs come from: metrics and grey coverage of one code-page-932 character in
// a face, size and style. The glyph cache asks for each character once and keeps the result;
// the source does the rasterising. Two implementations: FreeType over the installed (or the
// game's own) fonts, and a fixed one of plain boxes for tests that must not depend on fonts.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace novu::platform {

// Style flags of a font request (the same bits the text styles carry).
inline constexpr int kFontBold = 1;
inline constexpr int kFontItalic = 2;
inline constexpr int kFontUnderline = 4;
inline constexpr int kFontStrikeOut = 8;

struct FontRequest {
  // The face name as the game gives it, in code page 932 (e.g. "ＭＳ ゴシック").
  std::string name;
  // A positive height is the cell height (ascent + descent) in pixels, a negative one the
  // character (em) height; 0 takes a default. Sources clamp it to a sane range.
  int height = 0;
  int style = 0;  // kFont* flags

  friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

// Vertical metrics of a selected font, in pixels; positions are distances above the baseline.
struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int underscore_size = 1;     // underline thickness
  int strikeout_position = 0;  // top of the strike-out bar above the baseline
  int strikeout_size = 1;      // strike-out thickness
};

// Highest grey value of a coverage level: level 0 is one bit (0 or 1), levels 1-3 have 5, 17
// and 65 steps (0..4, 0..16, 0..64).
constexpr int MaxGrey(int level) {
  return level <= 0 ? 1 : level == 1 ? 4 : level == 2 ? 16 : 64;
}

// One character's rendering at a coverage level.
struct GlyphOutline {
  int width = 0;  // black box; 0 x 0 for a character without ink (a space)
  int height = 0;
  int origin_x = 0;           // left of the black box from the pen position (may be negative)
  int origin_y = 0;           // top of the black box above the baseline
  int advance = 0;            // pen advance of the character
  std::vector<uint8_t> grey;  // width * height values, row by row, 0..MaxGrey(level)
};

// A, B and C widths: space before the black box, the black box, space after it.
struct AbcWidths {
  int a = 0;
  int b = 0;
  int c = 0;
};

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;

  // Metrics of the font the request selects; nothing when they cannot be read.
  virtual std::optional<FontMetrics> Metrics(const FontRequest& font) = 0;
  // `code` is one CP932 character: a single byte, or lead * 256 + trail. Nothing when the
  // glyph cannot be produced in that format (the caller may retry at level 0); an empty
  // outline for a character without ink.
  virtual std::optional<GlyphOutline> Outline(const FontRequest& font, uint16_t code,
                                              int level) = 0;
  // Advance of the character as text (used for characters without ink).
  virtual int TextWidth(const FontRequest& font, uint16_t code) = 0;
  virtual AbcWidths Abc(const FontRequest& font, uint16_t code) = 0;
};

// Plain boxes of known size and coverage, for tests. For a font of cell height h (|height|,
// default 16): ascent = h - h / 5, descent = h / 5; underline size max(1, h / 12); strike-out at
// h / 3 above the baseline, size max(1, h / 12). A double-byte character advances h and has a
// box of (h - 2) x (ascent - 1) starting 1 pixel right of the pen and ascent - 1 above the
// baseline; a single-byte one advances h / 2 with a box of max(1, h / 2 - 2) x (ascent - 1).
// The spaces 0x20 and 0x8140 have no ink. Bold widens the box by one pixel. Italic and the
// face name change nothing.
class FixedGlyphSource : public GlyphSource {
 public:
  enum class Fill {
    kSolid,  // every box pixel at the level's highest grey
    kRamp,   // box pixel i (row by row) has grey i mod (MaxGrey(level) + 1)
  };

  Fill fill = Fill::kSolid;
  // Levels whose outline requests fail (bit n = level n).
  unsigned failing_levels = 0;
  bool metrics_fail = false;
  // Number of Outline calls, so tests can tell a cache hit from a new rendering.
  int outline_calls = 0;

  static int CellHeight(const FontRequest& font);

  std::optional<FontMetrics> Metrics(const FontRequest& font) override;
  std::optional<GlyphOutline> Outline(const FontRequest& font, uint16_t code, int level) override;
  int TextWidth(const FontRequest& font, uint16_t code) override;
  AbcWidths Abc(const FontRequest& font, uint16_t code) override;
};

// FreeType glyphs. Face names from games map to installed faces: the game's own font files
// (those in `game_font_folder`, when given) whose family name matches, else through
// fontconfig to a Japanese gothic or mincho face, proportional or not as the name asks.
// Level 0 renders one bit per pixel; levels 1-3 render grey and quantise it to the level's
// steps. Bold and italic are synthesised when the face has no such style.
std::unique_ptr<GlyphSource> MakeFreeTypeGlyphSource(const std::string& game_font_folder = {});

}  // namespace novu::platform

#pragma once
// The glyph cache every piece of text is drawn from (message windows, history, button captions,
// labels). A character of a given font, size, style and anti-alias level is rasterised once by
// the glyph source and kept as an 8-bit coverage bitmap; drawing places it in a character cell
// of a colour surface and an 8-bit coverage surface, with border, shadow, underline and
// strike-out, and the text owner composites those surfaces later.
//
// Typical use (one manager per process, made at start-up and handed to the text owners):
//   TFontPixelManager cache(platform::MakeFreeTypeGlyphSource(game_folder));
//   cache.SetLevel(document_level);
//   auto glyph = cache.Get(code, font_name, flags, size);
//   Rect touched = TFontPixelManager::Draw(*glyph, colour, coverage, draw);
#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"
#include "platform/glyph_source.h"

namespace novu::render {
class TCustomDIBX;
}

namespace novu::text {

// Style flags of a cached character (the same bits as platform::kFont*).
inline constexpr int kStyleBold = platform::kFontBold;
inline constexpr int kStyleItalic = platform::kFontItalic;
inline constexpr int kStyleUnderline = platform::kFontUnderline;
inline constexpr int kStyleStrikeOut = platform::kFontStrikeOut;

// A border wider than this is drawn this wide: dilation costs (2b + 1)^2 per ink pixel.
inline constexpr int kMaxBorderWidth = 8;
// The face used when a font name is empty.
inline constexpr std::string_view kDefaultFontName =
    "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック

// Coverage by grey value for anti-alias levels 1-3 (index = grey value from the source).
extern const std::array<uint8_t, 5> kLevel1Coverage;
extern const std::array<uint8_t, 17> kLevel2Coverage;
extern const std::array<uint8_t, 65> kLevel3Coverage;
// Coverage of grey value `grey` at `level` (level 0: 0 or 255); out-of-range values clamp.
uint8_t CoverageOfGrey(int level, int grey);

// One cached character. Immutable once made; shared with its users, so an entry the cache
// drops while someone still draws it stays alive until they let go.
struct TFontPixel {
  // Key.
  uint16_t code = 0;  // single byte, or lead * 256 + trail
  std::string font_name;
  int font_height = 0;  // the requested size
  int flags = 0;        // kStyle* bits
  int level = 0;        // anti-alias level it was rasterised at

  // Coverage of the black box, row by row (0 = empty, 255 = full); empty for blank characters.
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;

  int origin_x = 0;            // max(0, glyph origin x)
  int origin_y = 0;            // max(0, ascent - glyph origin y): black box top below the cell top
  int right_spacing = 0;       // advance - width - origin x (>= 0); text width for blank characters
  platform::AbcWidths abc;     // used to centre narrow characters in wide cells
  int underline_size = 0;      // when underlined
  int strikeout_position = 0;  // bar top below the cell top, when struck out
  int strikeout_size = 0;

  bool HasBitmap() const { return width > 0 && height > 0; }
  uint8_t CoverageAt(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
};

// How one character is drawn into its cell. Colours are 0x00BBGGRR.
struct GlyphDrawSpec {
  Rect cell;  // the character cell in the surfaces
  int32_t text_colour = 0;
  int32_t border_colour = 0;
  int32_t shadow_colour = 0;
  int border_width = 0;      // 0 = none; clamped to kMaxBorderWidth
  int shadow_offset = 0;     // 0 = none
  bool clear_first = false;  // clear the touched part of the coverage surface first
  // Set for the first / last glyph of a run that shares border and shadow: the bars' shadow
  // starts later / the bars end earlier by the shadow offset.
  bool previous_differs = false;
  bool next_differs = false;
};

class TFontPixelManager {
 public:
  static constexpr int kBuckets = 256;
  static constexpr size_t kCapacity = 256;  // entries kept, most recently used first
  static constexpr int kDefaultLevel = 3;

  explicit TFontPixelManager(std::unique_ptr<platform::GlyphSource> source);
  ~TFontPixelManager();
  TFontPixelManager(const TFontPixelManager&) = delete;
  TFontPixelManager& operator=(const TFontPixelManager&) = delete;

  // Anti-alias level 0-3 (clamped) for the following Get calls. After a grey rendering has
  // failed once the manager stays at level 0 whatever is asked.
  void SetLevel(int level);
  int Level() const { return level_; }

  // The entry of a character at the current level; made on a miss (never null). An empty font
  // name means the default face. Throws NovuError "Error:GetOutlineTextMetrics" when the font's
  // metrics cannot be read.
  std::shared_ptr<const TFontPixel> Get(uint16_t code, std::string_view font_name, int flags,
                                        int height);

  // Draws `pixel` into its cell and returns the rectangle it touched (clipped to the colour
  // surface; empty when nothing was drawn). The coverage surface must be 8 bits per pixel and
  // at least as large as the colour surface.
  static Rect Draw(const TFontPixel& pixel, render::TCustomDIBX& colour,
                   render::TCustomDIBX& coverage, const GlyphDrawSpec& draw);

  // Cache inspection (no effect on the recently-used order).
  size_t Size() const { return recent_.size(); }
  bool Holds(uint16_t code, std::string_view font_name, int flags, int height, int level) const;
  platform::GlyphSource& Source() { return *source_; }

 private:
  using Entry = std::shared_ptr<TFontPixel>;
  using RecentList = std::list<Entry>;

  RecentList::iterator Find(uint16_t code, std::string_view font_name, int flags, int height,
                            int level);
  Entry Make(uint16_t code, std::string_view font_name, int flags, int height);
  void SelectFont(std::string_view font_name, int flags, int height);
  void EvictOverflow();

  std::unique_ptr<platform::GlyphSource> source_;
  int level_ = kDefaultLevel;
  bool grey_failed_ = false;
  RecentList recent_;
  std::array<std::vector<RecentList::iterator>, kBuckets> buckets_;
  // The font the last miss selected.
  platform::FontRequest font_;
  platform::FontMetrics metrics_;
  bool has_font_ = false;
};

}  // namespace novu::text

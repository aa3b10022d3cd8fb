// Glyphs from FreeType with the sizes and metrics a Windows font of the same name would give:
// a positive height is the cell height (the OS/2 Windows ascent + descent scaled to it), a
// negative one the em size; bold and italic are synthesised for faces without those styles.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/font_lookup.h"
#include "platform/glyph_source.h"
#include "platform/text_encoding.h"

namespace novu::platform {
namespace {

constexpr int kDefaultHeight = 16;
constexpr int kMaxHeight = 512;       // a glyph of this size is already a quarter-megapixel bitmap
constexpr FT_Pos kBoldStrength = 64;  // one pixel wider, as Windows' synthetic bold

int Round26Dot6(FT_Pos v) {
  return static_cast<int>((v + 32) >> 6);
}

// The first code point of UTF-8 text, or U+FFFD.
char32_t FirstCodePoint(std::string_view utf8) {
  if (utf8.empty()) return 0xFFFD;
  const auto lead = static_cast<unsigned char>(utf8[0]);
  const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
  if (static_cast<size_t>(extra) >= utf8.size()) return 0xFFFD;
  char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[k]) & 0x3F);
  return c;
}

char32_t UnicodeOf(uint16_t code) {
  std::string bytes;
  if (code > 0xFF) bytes += static_cast<char>(code >> 8);
  bytes += static_cast<char>(code & 0xFF);
  return FirstCodePoint(Cp932ToUtf8(bytes));
}

struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FaceHandle = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

class FreeTypeGlyphSource : public GlyphSource {
 public:
  explicit FreeTypeGlyphSource(const std::string& game_font_folder) {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    if (!game_font_folder.empty()) game_faces_ = FacesInFolder(game_font_folder);
  }
  ~FreeTypeGlyphSource() override {
    faces_.clear();
    if (library_) FT_Done_FreeType(library_);
  }
  FreeTypeGlyphSource(const FreeTypeGlyphSource&) = delete;
  FreeTypeGlyphSource& operator=(const FreeTypeGlyphSource&) = delete;

  std::optional<FontMetrics> Metrics(const FontRequest& font) override {
    const Sized* sized = Select(font);
    if (!sized) return std::nullopt;
    return sized->metrics;
  }

  std::optional<GlyphOutline> Outline(const FontRequest& font, uint16_t code, int level) override {
    const Sized* sized = Select(font);
    if (!sized) return std::nullopt;
    level = std::clamp(level, 0, 3);
    const FT_Int32 target = level == 0 ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    FT_GlyphSlot slot = Load(font, code, target);
    if (!slot) return std::nullopt;
    GlyphOutline out;
    out.advance = Round26Dot6(slot->advance.x);
    if (slot->outline.n_points == 0) return out;  // a blank character
    if (FT_Render_Glyph(slot, level == 0 ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
      return std::nullopt;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.width == 0 || bitmap.rows == 0) return out;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.origin_x = slot->bitmap_left;
    out.origin_y = slot->bitmap_top;
    out.grey.resize(static_cast<size_t>(out.width) * out.height);
    const int top = MaxGrey(level);
    for (int y = 0; y < out.height; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      uint8_t* dst = &out.grey[static_cast<size_t>(y) * out.width];
      for (int x = 0; x < out.width; ++x) {
        dst[x] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                     ? (row[x >> 3] >> (7 - (x & 7))) & 1
                     : static_cast<uint8_t>((row[x] * top + 127) / 255);
      }
    }
    return out;
  }

  int TextWidth(const FontRequest& font, uint16_t code) override {
    FT_GlyphSlot slot = Select(font) ? Load(font, code, FT_LOAD_TARGET_NORMAL) : nullptr;
    return slot ? Round26Dot6(slot->advance.x) : 0;
  }

  AbcWidths Abc(const FontRequest& font, uint16_t code) override {
    FT_GlyphSlot slot = Select(font) ? Load(font, code, FT_LOAD_TARGET_NORMAL) : nullptr;
    if (!slot) return {};
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    const int advance = Round26Dot6(slot->advance.x);
    if (slot->outline.n_points == 0) return {0, 0, advance};
    const int a = static_cast<int>(box.xMin >> 6);
    const int b = static_cast<int>((box.xMax + 63) >> 6) - a;
    return {a, b, advance - a - b};
  }

 private:
  struct Sized {
    FT_Face face = nullptr;
    FontMetrics metrics;
  };

  // Opens (once) the face for the request's name and sets its size; null when no font opens.
  const Sized* Select(const FontRequest& font) {
    if (!library_) return nullptr;
    if (selected_ && font.name == selected_name_ && font.height == selected_height_) {
      return &sized_;
    }
    FT_Face face = FaceFor(font.name);
    if (!face || !SetSize(face, font.height)) {
      selected_ = false;
      return nullptr;
    }
    selected_ = true;
    selected_name_ = font.name;
    selected_height_ = font.height;
    return &sized_;
  }

  FT_Face FaceFor(const std::string& cp932_name) {
    if (const auto it = faces_.find(cp932_name); it != faces_.end()) return it->second.get();
    FaceHandle handle;
    if (const auto file = ResolveGameFont(cp932_name, game_faces_)) {
      FT_Face face = nullptr;
      if (FT_New_Face(library_, file->path.c_str(), file->face_index, &face) == 0) {
        handle.reset(face);
        if (!FT_IS_SCALABLE(face)) handle.reset();
      }
    }
    FT_Face face = handle.get();
    faces_.emplace(cp932_name, std::move(handle));  // a failure is remembered as well
    return face;
  }

  bool SetSize(FT_Face face, int height) {
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double em = face->units_per_EM;
    double ascent_units = face->ascender, descent_units = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent_units = os2->usWinAscent;
      descent_units = os2->usWinDescent;
    }
    if (em <= 0 || ascent_units + descent_units <= 0) return false;
    const int h = std::clamp(height == 0 ? kDefaultHeight : std::abs(height), 1, kMaxHeight);
    // A positive height is the whole cell; a negative one the em square.
    const double ppem = height > 0 ? h * em / (ascent_units + descent_units) : h;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) {
      return false;
    }
    const double scale = ppem / em;
    FontMetrics& m = sized_.metrics;
    m.ascent = static_cast<int>(std::lround(ascent_units * scale));
    m.descent = height > 0 ? h - m.ascent : static_cast<int>(std::lround(descent_units * scale));
    m.underscore_size =
        std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
      m.strikeout_size = std::max(1, static_cast<int>(std::lround(os2->yStrikeoutSize * scale)));
      m.strikeout_position = static_cast<int>(std::lround(os2->yStrikeoutPosition * scale));
    } else {
      m.strikeout_size = m.underscore_size;
      m.strikeout_position = m.ascent / 3;
    }
    sized_.face = face;
    return true;
  }

  // Loads the character's outline with the style applied; null when FreeType refuses.
  FT_GlyphSlot Load(const FontRequest& font, uint16_t code, FT_Int32 target) {
    FT_Face face = sized_.face;
    if (FT_Load_Char(face, UnicodeOf(code), FT_LOAD_NO_BITMAP | target) != 0) return nullptr;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
    if ((font.style & kFontBold) && !(face->style_flags & FT_STYLE_FLAG_BOLD) &&
        slot->outline.n_points > 0) {
      FT_Outline_EmboldenXY(&slot->outline, kBoldStrength, 0);
      slot->advance.x += kBoldStrength;
    }
    if ((font.style & kFontItalic) && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
      FT_GlyphSlot_Oblique(slot);
    }
    return slot;
  }

  FT_Library library_ = nullptr;
  std::vector<NamedFace> game_faces_;
  std::map<std::string, FaceHandle> faces_;  // by the game's face name
  Sized sized_;
  bool selected_ = false;
  std::string selected_name_;
  int selected_height_ = 0;
};

}  // namespace

std::unique_ptr<GlyphSource> MakeFreeTypeGlyphSource(const std::string& game_font_folder) {
  return std::make_unique<FreeTypeGlyphSource>(game_font_folder);
}

}  // namespace novu::platform

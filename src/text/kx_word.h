#pragma once
// TKxWord: a text document. It owns a flat list of glyphs (text_layout.h cuts them into pages
// and rows) and the style records they share. Text arrives either as markup (SetSource) or as
// the compiled glyph stream of TextIns commands (LoadGlyphs); SaveGlyphs writes that stream.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/decorate.h"
#include "text/glyphs.h"

namespace novu {
class BinaryReader;
class BinaryWriter;
class TParamCollection;
}  // namespace novu

namespace novu::text {

// "ＭＳ ゴシック" in CP932: the font of text that names none.
inline constexpr std::string_view kDefaultTextFont =
    "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

// The newest glyph stream version, written by default.
inline constexpr int kGlyphStreamVersion = 102;

// Settings of a document, written by its owner (message window, history).
// Colours are 0x00BBGGRR.
struct KxWordSettings {
  std::string font_name{kDefaultTextFont};
  int32_t font_size = 12;
  int32_t colour = 0;
  int32_t wrap_width = 0;
  int32_t visible_height = 0;  // 0: unlimited
  int32_t line_spacing = 0;
  bool paging = true;
  int32_t link_colour = 0xFF0000;
  int32_t hover_colour = 0x008000;
  int32_t border_colour = 0x808080;
  int32_t shadow_colour = 0;
  int32_t border_width = 0;
  int32_t shadow_offset = 0;
  int anti_alias = 3;
  int alpha = 255;
  int fade_time = 1;
  int wait_rate = 0;
  bool paused = false;
  bool events_enabled = false;
  // Where the next glyph will appear, set by the reveal.
  int caret_x = 0;
  int caret_y = 0;
  int caret_height = 0;
};

class TKxWord {
 public:
  TKxWord();
  ~TKxWord();
  TKxWord(const TKxWord&) = delete;
  TKxWord& operator=(const TKxWord&) = delete;

  KxWordSettings settings;
  // Variables for VAR glyphs and the default reveal wait (@TextDelay); none: variables expand
  // to nothing and the wait is 0.
  TParamCollection* variables = nullptr;
  // Receives the text of each inline event the reveal reaches.
  std::function<void(std::string_view)> on_event;

  // Clears the document and parses markup; the lines are joined with CR. Fails with the
  // player's message for an A tag without HREF.
  void SetSource(std::span<const std::string> lines);
  // Appends the styles and glyphs of a glyph stream. On an error the document keeps what it
  // had before the call.
  void LoadGlyphs(BinaryReader& in);
  // Writes the stored glyphs (not the output of variables) as a glyph stream of `version`
  // (0: without header).
  void SaveGlyphs(BinaryWriter& out, int version = kGlyphStreamVersion) const;
  // Appends copies of `from`'s glyphs first..last (last -1 or out of range: to the end); both
  // ends are clamped to the glyphs there are, and nothing is copied when last < first.
  void CopyGlyphs(const TKxWord& from, int first, int last);

  // Inserts (or removes) the output of the variable glyphs in first..last (-1: to the end).
  void ExpandVariables(int first = 0, int last = -1);
  void CollapseVariables(int first = 0, int last = -1);
  // Adds "expression=value" for every variable glyph not yet in `into`; line breaks of the
  // value are written as byte 0x01.
  void RecordVariables(std::vector<std::string>& into) const;
  // Values used instead of evaluating (history shows what was displayed).
  std::vector<std::string> recorded_values;

  // The glyph holding character position n (-1 past the end), and the characters before a glyph.
  int GlyphAtTextPosition(int n) const;
  int TextPositionOf(const TWdGlyph* glyph) const;
  // The text of glyphs first..last for history and copying.
  std::string Text(int first = 0, int last = -1) const;

  int Count() const { return static_cast<int>(glyphs_.size()); }
  TWdGlyph* Item(int i) const;
  int IndexOf(const TWdGlyph* glyph) const;
  void Insert(int i, std::unique_ptr<TWdGlyph> glyph);
  void Add(std::unique_ptr<TWdGlyph> glyph) { Insert(Count(), std::move(glyph)); }
  void Delete(int i);
  // Frees glyphs, styles and recorded values; the style base returns to 0.
  void Clear();

  TDecorateList& styles() { return styles_; }
  const TDecorateList& styles() const { return styles_; }
  // The version of the last glyph stream loaded (0 for markup or headerless streams).
  int loaded_version() const { return loaded_version_; }

 private:
  std::string ValueOf(const TWdOpeVar& var) const;
  void ExpandOne(int index);
  void CollapseOne(TWdOpeVar& var);

  // Declared before the glyphs so that glyphs let their records go first.
  TDecorateList styles_;
  std::vector<std::unique_ptr<TWdGlyph>> glyphs_;
  int loaded_version_ = 0;
};

}  // namespace novu::text

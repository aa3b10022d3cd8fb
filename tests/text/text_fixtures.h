#pragma once
// Helpers shared by the text tests: documents from markup, glyph descriptions that compare
// everything a glyph carries, and glyph streams.
#include <cstdio>
#include <string>
#include <vector>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"
#include "text/kx_word.h"

namespace novu::text::test {

// CP932 text from UTF-8 source.
inline std::string Sj(std::string_view utf8) {
  return Jp(utf8);
}

inline void Parse(TKxWord& word, std::vector<std::string> lines) {
  word.SetSource(lines);
}

inline std::string Hex(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", v);
  return buffer;
}

inline std::string DescribeStyle(const DecorateAttributes& a) {
  return "c" + std::to_string(a.colour) + " b" + std::to_string(a.border_colour) + " s" +
         std::to_string(a.shadow_colour) + " z" + std::to_string(a.size) + " f" +
         std::to_string(a.flags) + " n" + a.font_name + " nb" + std::to_string(a.no_break) + " r" +
         a.ruby + " bw" + std::to_string(a.border_width) + " so" + std::to_string(a.shadow_offset);
}

// One line per glyph with its kind, attributes, style and text position.
inline std::string Describe(const TKxWord& word, int i) {
  const TWdGlyph& g = *word.Item(i);
  std::string line = "@" + std::to_string(word.TextPositionOf(&g)) + " ";
  switch (g.kind()) {
    case GlyphKind::kChar:
    case GlyphKind::kVarChar: {
      const auto& c = static_cast<const TWdChar&>(g);
      line += (g.kind() == GlyphKind::kChar ? "char " : "varchar ") + Hex(c.code()) + " link[" +
              c.link + "] wait" + std::to_string(c.wait) + " {" + DescribeStyle(c.style()) + "}";
      break;
    }
    case GlyphKind::kImg: {
      const auto& m = static_cast<const TWdImg&>(g);
      line += "img " + m.source + " a" + std::to_string(m.align) + " link[" + m.link + "] wait" +
              std::to_string(m.wait);
      break;
    }
    case GlyphKind::kReturn:
      line += static_cast<const TWdOpeReturn&>(g).clear ? "return clear" : "return";
      break;
    case GlyphKind::kVarReturn:
      line += "varreturn";
      break;
    case GlyphKind::kAlign:
      line += "align " + std::to_string(static_cast<const TWdOpeAlign&>(g).align);
      break;
    case GlyphKind::kIndent:
      line += "indent";
      break;
    case GlyphKind::kUndent:
      line += "undent";
      break;
    case GlyphKind::kEvent: {
      const auto& e = static_cast<const TWdOpeEvent&>(g);
      line += "event [" + e.text + "]" + (e.end ? " end" : "");
      break;
    }
    case GlyphKind::kVar: {
      const auto& v = static_cast<const TWdOpeVar&>(g);
      line += "var [" + v.expression + "] link[" + v.link + "] wait" + std::to_string(v.wait) +
              " {" + DescribeStyle(v.style()) + "}";
      break;
    }
    case GlyphKind::kSpace:
      line += "space";
      break;
  }
  return line;
}

inline std::vector<std::string> Describe(const TKxWord& word) {
  std::vector<std::string> lines;
  for (int i = 0; i < word.Count(); ++i) lines.push_back(Describe(word, i));
  return lines;
}

inline std::vector<uint8_t> StreamOf(const TKxWord& word, int version = kGlyphStreamVersion) {
  BinaryWriter out;
  word.SaveGlyphs(out, version);
  return out.Take();
}

inline void Load(TKxWord& word, const std::vector<uint8_t>& stream) {
  BinaryReader in{std::span<const uint8_t>(stream)};
  word.LoadGlyphs(in);
}

// The characters of a document as text (only characters, the rest left out).
inline std::string CharsOf(const TKxWord& word) {
  std::string text;
  for (int i = 0; i < word.Count(); ++i) {
    const GlyphKind k = word.Item(i)->kind();
    if (k == GlyphKind::kChar || k == GlyphKind::kVarChar) text += word.Item(i)->Text();
  }
  return text;
}

}  // namespace novu::text::test

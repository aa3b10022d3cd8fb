// novutool text: message markup compiled to the glyph stream that TextIns commands carry, and
// a readable listing of a glyph stream.
#include <cstdio>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/integer_text.h"
#include "expr/function_text.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "text/kx_word.h"
#include "tool_command.h"

namespace novu::tool {
namespace {

using namespace novu::text;

std::string Utf8(std::string_view cp932) {
  return platform::Cp932ToUtf8(cp932);
}

// A string for the listing: UTF-8 in double quotes, control bytes as \xHH.
std::string Quoted(std::string_view cp932) {
  std::string out = "\"";
  for (char c : Utf8(cp932)) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || c == '"' || c == '\\') {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", byte);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string DescribeStyle(const DecorateAttributes& a) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer,
                "colour=%d border_colour=%d shadow_colour=%d size=%d flags=%u no_break=%d "
                "border=%d shadow=%d",
                a.colour, a.border_colour, a.shadow_colour, a.size, a.flags, a.no_break ? 1 : 0,
                a.border_width, a.shadow_offset);
  return std::string(buffer) + " font=" + Quoted(a.font_name) + " ruby=" + Quoted(a.ruby);
}

std::string Common(const TWdReal& g) {
  std::string line = " wait=" + std::to_string(g.wait);
  if (!g.link.empty()) line += " link=" + Quoted(g.link);
  return line;
}

std::string DescribeGlyph(const TKxWord& word, const TWdGlyph& g) {
  switch (g.kind()) {
    case GlyphKind::kChar:
    case GlyphKind::kVarChar: {
      const auto& c = static_cast<const TWdChar&>(g);
      char code[16];
      std::snprintf(code, sizeof code, "%04X", c.code());
      return "char " + Quoted(c.Text()) + " code=" + code +
             " style=" + std::to_string(word.styles().IndexOf(c.style_record())) + Common(c);
    }
    case GlyphKind::kImg: {
      const auto& m = static_cast<const TWdImg&>(g);
      return "img " + Quoted(m.source) + " align=" + std::to_string(m.align) + Common(m);
    }
    case GlyphKind::kReturn:
    case GlyphKind::kVarReturn:
      return static_cast<const TWdOpeReturn&>(g).clear ? "br clear" : "br";
    case GlyphKind::kAlign:
      return "align " + std::to_string(static_cast<const TWdOpeAlign&>(g).align);
    case GlyphKind::kIndent:
      return "indent";
    case GlyphKind::kUndent:
      return "undent";
    case GlyphKind::kEvent: {
      const auto& e = static_cast<const TWdOpeEvent&>(g);
      return "event " + Quoted(e.text) + (e.end ? " end" : "");
    }
    case GlyphKind::kVar: {
      const auto& v = static_cast<const TWdOpeVar&>(g);
      std::string line =
          "var " + (v.compiled ? std::string("(compiled expression)") : Quoted(v.expression));
      line += " style=" + std::to_string(word.styles().IndexOf(v.style_record()));
      line += " wait=" + std::to_string(v.wait);
      if (!v.link.empty()) line += " link=" + Quoted(v.link);
      return line;
    }
    case GlyphKind::kSpace:
      return "space";
  }
  return "?";
}

int RunTextCompile(const Args& given) {
  Args args = given;
  const std::string output = TakeOption(args, "-o");
  const std::string version_text = TakeOption(args, "--version");
  const bool cp932_input = TakeFlag(args, "--cp932");
  if (args.size() != 1 || output.empty()) return Usage("text compile");
  int version = kGlyphStreamVersion;
  if (!version_text.empty()) {
    const auto v = ParseInteger(version_text);
    if (!v || *v < 0 || *v > 999) return Fail("--version takes 0 to 999");
    version = static_cast<int>(*v);
  }
  try {
    const auto data = platform::ReadWholeFile(args[0]);
    if (!data) return Fail("cannot read " + args[0]);
    std::string source(data->begin(), data->end());
    if (!cp932_input) source = platform::Utf8ToCp932(source);
    TKxWord word;
    word.SetSource(text::SplitLines(source));
    BinaryWriter out;
    word.SaveGlyphs(out, version);
    platform::WriteFileAtomically(output, out.bytes());
    return 0;
  } catch (const NovuError& e) {
    return Fail(e.Utf8Message());
  }
}

int RunTextShow(const Args& args) {
  if (args.size() != 1) return Usage("text show");
  try {
    const auto data = platform::ReadWholeFile(args[0]);
    if (!data) return Fail("cannot read " + args[0]);
    TKxWord word;
    BinaryReader in{std::span<const uint8_t>(*data)};
    word.LoadGlyphs(in);
    std::printf("version %d\n", word.loaded_version());
    std::printf("styles %zu\n", word.styles().size());
    for (size_t i = 0; i < word.styles().size(); ++i) {
      const TDecorate& style = word.styles().at(i);
      std::printf("  %zu: users=%d %s\n", i, style.users(),
                  DescribeStyle(style.attributes()).c_str());
    }
    std::printf("glyphs %d\n", word.Count());
    for (int i = 0; i < word.Count(); ++i) {
      std::printf("  %d: %s\n", i, DescribeGlyph(word, *word.Item(i)).c_str());
    }
    std::printf("text %s\n", Quoted(word.Text()).c_str());
    return 0;
  } catch (const NovuError& e) {
    return Fail(e.Utf8Message());
  }
}

NOVU_TOOL_COMMAND("text compile", "IN.txt -o OUT.kxw [--version N] [--cp932]",
                  "compile message markup (UTF-8 unless --cp932) into a glyph stream",
                  RunTextCompile);
NOVU_TOOL_COMMAND("text show", "FILE.kxw", "list the styles and glyphs of a glyph stream",
                  RunTextShow);

}  // namespace
}  // namespace novu::tool

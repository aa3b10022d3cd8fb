// The glyph stream: compiled message text as TextIns commands carry it.
//
//   header      "KxWord" and three decimal digits (the version); absent: version 0
//   i32 S, S style records:
//     i32 users, i32 colour, i32 border colour, i32 size, u8 flags, u8 no-break,
//     border width (i32 from version 100, before: u8, non-zero meaning 1),
//     string font name, string ruby, from version 100: i32 shadow offset, i32 shadow colour
//   i32 G, G glyphs: u8 kind (top bit ignored) and its record
//     1 character  string link, i32 wait, u16 code, i32 style index
//     2 align      u8 alignment
//     3 return     u8 clear flag
//     4 indent, 5 undent
//     6 event      string text (a leading 0x01 marks the end of a series)
//     7 variable   i32 style index; after 100: i32 wait, string link;
//                  before 102: the compiled expression, from 102: the expression text
//     9 picture    string link, i32 wait, string source, u8 alignment
//   other kinds have no record.
#include <algorithm>
#include <map>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/build_novu_parser.h"
#include "expr/novu_parser.h"
#include "platform/error.h"
#include "text/kx_word.h"

namespace novu::text {
namespace {

constexpr std::string_view kStreamTag = "KxWord";
constexpr size_t kHeaderSize = 9;
constexpr char kEventEndMark = '\x01';

// Smallest style record of a version: every number and both empty strings.
size_t StyleRecordSize(int version) {
  return version >= 100 ? 4 * 4 + 2 + 4 + 4 + 4 + 4 + 4 : 4 * 4 + 2 + 1 + 4 + 4;
}

int ReadVersion(BinaryReader& in) {
  if (in.remaining() < kHeaderSize) return 0;
  const auto head = in.data().subspan(in.position(), kHeaderSize);
  if (std::string_view(reinterpret_cast<const char*>(head.data()), kStreamTag.size()) !=
      kStreamTag) {
    return 0;
  }
  in.Skip(kStreamTag.size());
  const std::string digits = in.BytesAsString(3);
  int version = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      throw NovuError("'" + digits + "' is not a valid integer value");
    }
    version = version * 10 + (c - '0');
  }
  return version;
}

DecorateAttributes ReadStyle(BinaryReader& in, int version) {
  DecorateAttributes a;
  in.I32();  // the stored user count is not trusted: the list counts its users itself
  a.colour = in.I32();
  a.border_colour = in.I32();
  a.size = in.I32();
  a.flags = in.U8();
  a.no_break = in.U8() != 0;
  a.border_width = version >= 100 ? in.I32() : (in.U8() != 0 ? 1 : 0);
  a.font_name = in.String();
  a.ruby = in.String();
  if (version >= 100) {
    a.shadow_offset = in.I32();
    a.shadow_colour = in.I32();
  } else {
    a.shadow_offset = 0;
    a.shadow_colour = 0;
  }
  return a;
}

void WriteStyle(BinaryWriter& out, const DecorateAttributes& a, int32_t users, int version) {
  out.I32(users);
  out.I32(a.colour);
  out.I32(a.border_colour);
  out.I32(a.size);
  out.U8(a.flags);
  out.U8(a.no_break ? 1 : 0);
  if (version >= 100) {
    out.I32(a.border_width);
  } else {
    out.U8(a.border_width != 0 ? 1 : 0);
  }
  out.String(a.font_name);
  out.String(a.ruby);
  if (version >= 100) {
    out.I32(a.shadow_offset);
    out.I32(a.shadow_colour);
  }
}

// The style of a stored index: a record of this stream, or the plain record of a new character
// when the index lies outside the stream's table.
const DecorateAttributes& StyleAt(const std::vector<DecorateAttributes>& styles, int32_t index) {
  static const DecorateAttributes kPlain;
  if (index < 0 || static_cast<size_t>(index) >= styles.size()) return kPlain;
  return styles[static_cast<size_t>(index)];
}

void WriteCompiledExpression(BinaryWriter& out, const TWdOpeVar& var) {
  if (var.compiled) {
    var.compiled->SaveToStream(out);
    return;
  }
  BinaryWriter compiled;
  try {
    TBuildNovuParser builder;
    builder.Compile(var.expression);
    builder.SaveToStream(compiled);
  } catch (const NovuError&) {
    compiled = BinaryWriter();
    compiled.I32(0);
  }
  out.Bytes(std::span<const uint8_t>(compiled.bytes()));
}

// Style records in the order the stored glyphs first use them, with their numbers of users.
// Records that differ only in what the stream's version cannot hold (a border width above 1 or a
// shadow before version 100) are written once: two equal records would merge when read back, and
// the stream would not survive being read and written again unchanged.
struct StyleTable {
  explicit StyleTable(int version) : version(version) {}

  int version;
  std::vector<const TDecorate*> records;
  std::vector<int32_t> users;
  std::map<const TDecorate*, int32_t> index;
  std::map<std::vector<uint8_t>, int32_t> by_stored_form;

  void Use(const TDecorate* record) {
    auto it = index.find(record);
    if (it == index.end()) it = index.emplace(record, IndexOfStoredForm(record)).first;
    ++users[static_cast<size_t>(it->second)];
  }

 private:
  int32_t IndexOfStoredForm(const TDecorate* record) {
    BinaryWriter form;
    WriteStyle(form, record->attributes(), 0, version);
    auto [it, added] = by_stored_form.emplace(form.bytes(), static_cast<int32_t>(records.size()));
    if (added) {
      records.push_back(record);
      users.push_back(0);
    }
    return it->second;
  }
};

}  // namespace

void TKxWord::LoadGlyphs(BinaryReader& in) {
  TKxWord staged;
  const int version = ReadVersion(in);
  std::vector<DecorateAttributes> styles(in.Count(StyleRecordSize(version)));
  for (DecorateAttributes& style : styles) style = ReadStyle(in, version);

  const size_t count = in.Count(1);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t kind = in.U8() & 0x7F;
    switch (kind) {
      case kCodeChar: {
        std::string link = in.String();
        const int32_t wait = in.I32();
        const uint16_t code = in.U16();
        auto glyph = std::make_unique<TWdChar>(staged.styles_, code, StyleAt(styles, in.I32()));
        glyph->link = std::move(link);
        glyph->wait = wait;
        staged.Add(std::move(glyph));
        break;
      }
      case kCodeAlign:
        staged.Add(std::make_unique<TWdOpeAlign>(in.U8()));
        break;
      case kCodeReturn:
        staged.Add(std::make_unique<TWdOpeReturn>(in.U8() != 0));
        break;
      case kCodeIndent:
        staged.Add(std::make_unique<TWdOpeIndent>());
        break;
      case kCodeUndent:
        staged.Add(std::make_unique<TWdOpeUndent>());
        break;
      case kCodeEvent: {
        std::string text = in.String();
        const bool end = !text.empty() && text.front() == kEventEndMark;
        if (end) text.erase(0, 1);
        staged.Add(std::make_unique<TWdOpeEvent>(std::move(text), end));
        break;
      }
      case kCodeVar: {
        const int32_t style = in.I32();
        auto var =
            std::make_unique<TWdOpeVar>(staged.styles_, std::string(), StyleAt(styles, style));
        if (version > 100) {
          var->wait = in.I32();
          var->link = in.String();
        }
        if (version < 102) {
          var->compiled = std::make_unique<TNovuParser>();
          var->compiled->LoadFromStream(in);
        } else {
          var->expression = in.String();
        }
        staged.Add(std::move(var));
        break;
      }
      case kCodeImg: {
        auto img = std::make_unique<TWdImg>();
        img->link = in.String();
        img->wait = in.I32();
        img->source = in.String();
        img->align = in.U8();
        staged.Add(std::move(img));
        break;
      }
      default:
        break;
    }
  }
  CopyGlyphs(staged, 0, -1);
  loaded_version_ = version;
}

void TKxWord::SaveGlyphs(BinaryWriter& out, int version) const {
  version = std::clamp(version, 0, 999);
  if (version > 0) {
    const std::string digits = std::to_string(1000 + version).substr(1);
    out.Bytes(std::string(kStreamTag) + digits);
  }
  StyleTable table(version);
  int32_t stored = 0;
  for (const auto& glyph : glyphs_) {
    if (glyph->StreamCode() == 0) continue;
    ++stored;
    if (glyph->kind() == GlyphKind::kChar) {
      table.Use(static_cast<const TWdChar&>(*glyph).style_record());
    } else if (glyph->kind() == GlyphKind::kVar) {
      table.Use(static_cast<const TWdOpeVar&>(*glyph).style_record());
    }
  }
  out.I32(static_cast<int32_t>(table.records.size()));
  for (size_t i = 0; i < table.records.size(); ++i) {
    WriteStyle(out, table.records[i]->attributes(), table.users[i], version);
  }
  out.I32(stored);
  for (const auto& glyph : glyphs_) {
    const uint8_t code = glyph->StreamCode();
    if (code == 0) continue;
    out.U8(code);
    switch (code) {
      case kCodeChar: {
        const auto& ch = static_cast<const TWdChar&>(*glyph);
        out.String(ch.link);
        out.I32(ch.wait);
        out.U16(ch.code());
        out.I32(table.index.at(ch.style_record()));
        break;
      }
      case kCodeAlign:
        out.U8(static_cast<const TWdOpeAlign&>(*glyph).align);
        break;
      case kCodeReturn:
        out.U8(static_cast<const TWdOpeReturn&>(*glyph).clear ? 1 : 0);
        break;
      case kCodeEvent: {
        const auto& event = static_cast<const TWdOpeEvent&>(*glyph);
        out.String(event.end ? kEventEndMark + event.text : event.text);
        break;
      }
      case kCodeVar: {
        const auto& var = static_cast<const TWdOpeVar&>(*glyph);
        out.I32(table.index.at(var.style_record()));
        if (version > 100) {
          out.I32(var.wait);
          out.String(var.link);
        }
        if (version < 102) {
          WriteCompiledExpression(out, var);
        } else {
          out.String(var.expression);
        }
        break;
      }
      case kCodeImg: {
        const auto& img = static_cast<const TWdImg&>(*glyph);
        out.String(img.link);
        out.I32(img.wait);
        out.String(img.source);
        out.U8(img.align);
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace novu::text

#include "engine/variable_dump.h"

#include <cstdio>

#include "expr/param_collection.h"
#include "expr/value_text.h"
#include "platform/text_encoding.h"

namespace novu {
namespace {

std::string JsonString(std::string_view cp932) {
  const std::string utf8 = platform::Cp932ToUtf8(cp932);
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

// One object a variable: its type code, its scope number (0 global, 1 auto-dispose, 2 local,
// 3 status), its dimensions, and the string reading of every element, last subscript fastest.
// A reference reports type 0 and reads through to the element it names.
std::string DumpVariablesJson(const TParamCollection& vars) {
  std::string out = "{\"variables\":[";
  bool first = true;
  for (int32_t i = 0; i < vars.Count(); ++i) {
    const TParamCollectionItem& item = vars.Var(i);
    if (item.is_system() || item.is_temporary() || IsTemporaryName(item.name())) continue;
    const TCustomParam& value = item.value();
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"name\":" + JsonString(item.name()) +
           ",\"type\":" + std::to_string(static_cast<int>(value.GetParamType())) +
           ",\"scope\":" + std::to_string(static_cast<int>(item.scope())) + ",\"dims\":[";
    for (size_t d = 0; d < value.dims().size(); ++d) {
      out += (d ? "," : "") + std::to_string(value.dims()[d]);
    }
    out += "],\"values\":[";
    for (int32_t e = 0; e < value.GetCount(); ++e) {
      out += (e ? "," : "") + JsonString(value.GetStrAt(e));
    }
    out += "]}";
  }
  out += first ? "]}\n" : "\n]}\n";
  return out;
}

}  // namespace novu

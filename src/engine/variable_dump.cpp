#include "engine/variable_dump.h"

#include <cstdio>

#include "expr/param_collection.h"
#include "expr/value_text.h"
#include "platform/text_encoding.h"

namespace novu {
namespace {

constexpr std::string_view kScopeNames[] = {"global", "auto", "local", "status"};

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

std::string TypeName(ParamType type) {
  switch (type) {
    case PT_INT:
      return "int";
    case PT_FLOAT:
      return "float";
    case PT_BOOL:
      return "bool";
    case PT_STR:
      return "string";
    default:
      return "none";
  }
}

std::string ElementJson(const TCustomParam& value, ParamType type, int32_t i) {
  switch (type) {
    case PT_INT:
      return std::to_string(value.GetIntAt(i));
    case PT_FLOAT: {
      const long double f = value.GetFloatAt(i);
      if (f != f || f - f != 0) return JsonString(FloatToText(f));  // NaN and infinities
      return FloatToText(f);
    }
    case PT_BOOL:
      return value.GetBoolAt(i) ? "true" : "false";
    case PT_STR:
      return JsonString(value.GetStrAt(i));
    default:
      return "null";
  }
}

}  // namespace

std::string DumpVariablesJson(const TParamCollection& vars) {
  std::string out = "{\"variables\":[";
  bool first = true;
  for (int32_t i = 0; i < vars.Count(); ++i) {
    const TParamCollectionItem& item = vars.Var(i);
    if (item.is_system() || item.is_temporary() || IsTemporaryName(item.name())) continue;
    const TCustomParam& value = *item.value().Deref();
    const ParamType type = value.GetParamType();
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"name\":" + JsonString(item.name()) + ",\"type\":\"" + TypeName(type) +
           "\",\"scope\":\"" + std::string(kScopeNames[static_cast<size_t>(item.scope())]) +
           "\",\"dims\":[";
    for (size_t d = 0; d < value.dims().size(); ++d) {
      out += (d ? "," : "") + std::to_string(value.dims()[d]);
    }
    out += "],\"values\":[";
    for (int32_t e = 0; e < value.GetCount(); ++e) {
      out += (e ? "," : "") + ElementJson(value, type, e);
    }
    out += "]}";
  }
  out += first ? "]}\n" : "\n]}\n";
  return out;
}

}  // namespace novu

// The string functions: numbers as text, byte and character (J) cuts and searches, trimming,
// case, repetition and replacement.
#include <algorithm>
#include <cstring>

#include "expr/function_text.h"
#include "expr/sys_func_man.h"
#include "expr/value_text.h"
#include "platform/error.h"

namespace novu {
namespace {

using text::CharOffsets;
using text::ClampSpan;

void CheckBuiltLength(const FunctionCall& call, int64_t length) {
  if (length > text::kMaxBuiltText) {
    throw NovuError(std::string(call.name()) + Jp(":文字列が長すぎます"));
  }
}

// Digits of `magnitude` zero-padded to at least `digits`, built without a format string.
std::string PadDigits(std::string digits, int64_t width) {
  if (width > static_cast<int64_t>(digits.size())) {
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  }
  return digits;
}

std::string IntToStrPadded(const FunctionCall& call, int32_t value, int32_t width) {
  const int64_t v = value;
  const bool negative = v < 0;
  std::string digits = std::to_string(negative ? -v : v);
  CheckBuiltLength(call, width);
  digits = PadDigits(std::move(digits), width);
  return negative ? "-" + digits : digits;
}

std::string IntToHex(const FunctionCall& call, int32_t value, int32_t width) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto bits = static_cast<uint32_t>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), kHex[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  CheckBuiltLength(call, width);
  return PadDigits(std::move(digits), width);
}

// A [begin, end) byte span for a 1-based position and count in characters (J) or bytes.
text::Span CutSpan(std::string_view s, int64_t position, int64_t count, bool chars) {
  if (!chars) return ClampSpan(s.size(), position, count);
  const std::vector<size_t> offsets = CharOffsets(s);
  const text::Span c = ClampSpan(offsets.size() - 1, position, count);
  return {offsets[c.begin], offsets[c.end]};
}

int64_t CountOrRest(const FunctionCall& call, size_t i) {
  return call.Has(i) ? call.Int(i) : INT64_MAX / 2;
}

void Copy(const FunctionCall& call, bool chars) {
  const std::string s = call.Str(0);
  const text::Span span = CutSpan(s, call.Int(1), CountOrRest(call, 2), chars);
  call.result().SetAsStr(std::string_view(s).substr(span.begin, span.end - span.begin));
}

void Delete(const FunctionCall& call, bool chars) {
  TCustomParam* target = call.Output(0);
  std::string s = target->GetAsStr();
  const text::Span span = CutSpan(s, call.Int(1), CountOrRest(call, 2), chars);
  s.erase(span.begin, span.end - span.begin);
  target->SetAsStr(s);
}

void Insert(const FunctionCall& call, bool chars) {
  const std::string piece = call.Str(0);
  TCustomParam* target = call.Output(1);
  std::string s = target->GetAsStr();
  const text::Span at = CutSpan(s, call.Int(2), 0, chars);
  CheckBuiltLength(call, static_cast<int64_t>(s.size() + piece.size()));
  s.insert(at.begin, piece);
  target->SetAsStr(s);
}

int32_t CompareOrdinal(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
    if (d != 0) return d;
  }
  return static_cast<int32_t>(a.size()) - static_cast<int32_t>(b.size());
}

int32_t BytePos(std::string_view needle, std::string_view haystack) {
  if (needle.empty()) return 0;
  const size_t at = haystack.find(needle);
  return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
}

int32_t CharPos(std::string_view needle, std::string_view haystack) {
  const size_t at = text::FindAtCharStart(haystack, needle);
  if (at == std::string_view::npos) return 0;
  const std::vector<size_t> offsets = CharOffsets(haystack);
  return static_cast<int32_t>(std::lower_bound(offsets.begin(), offsets.end(), at) -
                              offsets.begin() + 1);
}

std::string Trim(std::string_view s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<uint8_t>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(s[end - 1]) <= ' ') --end;
  return std::string(s.substr(begin, end - begin));
}

// Without ASCII spaces and full-width spaces (0x81 0x40) at either end.
std::string JTrim(std::string_view s) {
  const std::vector<size_t> offsets = CharOffsets(s);
  auto is_blank = [&](size_t c) {
    const std::string_view ch = s.substr(offsets[c], offsets[c + 1] - offsets[c]);
    return ch == " " || ch == "\x81\x40";
  };
  size_t first = 0;
  size_t last = offsets.size() - 1;
  while (first < last && is_blank(first)) ++first;
  while (last > first && is_blank(last - 1)) --last;
  return std::string(s.substr(offsets[first], offsets[last] - offsets[first]));
}

std::string FixStr(std::string_view s) {
  const std::vector<size_t> offsets = CharOffsets(s);
  if (offsets.size() < 2) return std::string(s);
  const size_t last = offsets[offsets.size() - 2];
  const bool cut = last + 1 == s.size() && cp932::IsLeadByte(static_cast<uint8_t>(s[last]));
  return std::string(cut ? s.substr(0, last) : s);
}

std::string StringOfChar(const FunctionCall& call) {
  const std::string piece = call.Str(0);
  const int64_t times = std::max<int64_t>(call.Int(1), 0);
  CheckBuiltLength(call, static_cast<int64_t>(piece.size()) * times);
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(times));
  for (int64_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::string StringReplace(const FunctionCall& call) {
  const std::string s = call.Str(0);
  const std::string from = call.Str(1);
  const std::string to = call.Str(2);
  const bool all = call.Bool(3);
  const bool ignore_case = call.Bool(4);
  if (from.empty()) return s;
  std::string out;
  size_t done = 0;
  for (;;) {
    const size_t at = text::FindAtCharStart(s, from, done, ignore_case);
    if (at == std::string::npos) break;
    out.append(s, done, at - done);
    out += to;
    CheckBuiltLength(call, static_cast<int64_t>(out.size()));
    done = at + from.size();
    if (!all) break;
  }
  out.append(s, done, std::string::npos);
  return out;
}

}  // namespace

void RegisterStringFunctions(SysFuncMan& f) {
  f.Register(0, [](const FunctionCall& c) {
    c.result().SetAsStr(c.Has(1) ? IntToStrPadded(c, c.Int(0), c.Int(1)) : IntToText(c.Int(0)));
  });
  f.Register(1,
             [](const FunctionCall& c) { c.result().SetAsStr(IntToHex(c, c.Int(0), c.Int(1))); });
  f.Register(
      5, [](const FunctionCall& c) { c.result().SetAsInt(static_cast<int32_t>(c.Str(0).size())); });
  f.Register(6, [](const FunctionCall& c) {
    c.result().SetAsInt(static_cast<int32_t>(CharOffsets(c.Str(0)).size() - 1));
  });
  f.Register(7, [](const FunctionCall& c) { Copy(c, false); });
  f.Register(8, [](const FunctionCall& c) { Copy(c, true); });
  f.Register(9, [](const FunctionCall& c) { Delete(c, false); });
  f.Register(10, [](const FunctionCall& c) { Delete(c, true); });
  f.Register(11, [](const FunctionCall& c) { Insert(c, false); });
  f.Register(12, [](const FunctionCall& c) { Insert(c, true); });
  f.Register(
      13, [](const FunctionCall& c) { c.result().SetAsInt(CompareOrdinal(c.Str(0), c.Str(1))); });
  f.Register(14, [](const FunctionCall& c) {
    c.result().SetAsInt(cp932::CompareNoCase(c.Str(0), c.Str(1)));
  });
  f.Register(15, [](const FunctionCall& c) { c.result().SetAsInt(BytePos(c.Str(0), c.Str(1))); });
  f.Register(16, [](const FunctionCall& c) { c.result().SetAsInt(CharPos(c.Str(0), c.Str(1))); });
  f.Register(17, [](const FunctionCall& c) { c.result().SetAsStr(Trim(c.Str(0))); });
  f.Register(18, [](const FunctionCall& c) { c.result().SetAsStr(JTrim(c.Str(0))); });
  f.Register(64, [](const FunctionCall& c) { c.result().SetAsStr(FixStr(c.Str(0))); });
  f.Register(73, [](const FunctionCall& c) { c.result().SetAsStr(cp932::ToLower(c.Str(0))); });
  f.Register(74, [](const FunctionCall& c) { c.result().SetAsStr(cp932::ToUpper(c.Str(0))); });
  f.Register(82, [](const FunctionCall& c) { c.result().SetAsStr(StringOfChar(c)); });
  f.Register(83, [](const FunctionCall& c) { c.result().SetAsStr(StringReplace(c)); });
  f.Register(133, [](const FunctionCall& c) {
    const std::string s = c.Str(1);
    c.result().SetAsStr(s.empty() ? std::string() : s + c.Str(0));
  });
  f.Register(138, [](const FunctionCall& c) {
    c.result().SetAsInt(ParseInt(c.Str(0)).value_or(c.Int(1)));
  });
  f.Register(139, [](const FunctionCall& c) {
    c.result().SetAsFloat(ParseFloat(c.Str(0)).value_or(c.Float(1)));
  });
  f.Register(152, [](const FunctionCall& c) {
    c.result().SetAsStr(std::string(1, static_cast<char>(c.Int(0) & 0xFF)));
  });
  f.Register(153, [](const FunctionCall& c) {
    const std::string s = c.Str(0);
    c.result().SetAsInt(s.empty() ? 0 : static_cast<uint8_t>(s[0]));
  });
}

}  // namespace novu

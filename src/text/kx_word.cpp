#include "text/kx_word.h"

#include <algorithm>

#include "core/cp932.h"
#include "expr/novu_parser.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu::text {
namespace {

constexpr char kRecordedLineBreak = '\x01';

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<uint8_t>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<uint8_t>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

TKxWord::TKxWord() = default;
TKxWord::~TKxWord() = default;

TWdGlyph* TKxWord::Item(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return glyphs_[static_cast<size_t>(i)].get();
}

int TKxWord::IndexOf(const TWdGlyph* glyph) const {
  for (int i = 0; i < Count(); ++i) {
    if (glyphs_[static_cast<size_t>(i)].get() == glyph) return i;
  }
  return -1;
}

void TKxWord::Insert(int i, std::unique_ptr<TWdGlyph> glyph) {
  i = std::clamp(i, 0, Count());
  glyphs_.insert(glyphs_.begin() + i, std::move(glyph));
}

void TKxWord::Delete(int i) {
  TWdGlyph* glyph = Item(i);
  if (!glyph) return;
  // A variable's output may be deleted by hand; the variable must not keep pointing at it.
  for (const auto& g : glyphs_) {
    if (g->kind() == GlyphKind::kVar) std::erase(static_cast<TWdOpeVar&>(*g).produced, glyph);
  }
  if (glyph->kind() == GlyphKind::kVar) static_cast<TWdOpeVar&>(*glyph).produced.clear();
  glyphs_.erase(glyphs_.begin() + i);
}

void TKxWord::Clear() {
  glyphs_.clear();
  styles_.Clear();
  recorded_values.clear();
  loaded_version_ = 0;
}

void TKxWord::CopyGlyphs(const TKxWord& from, int first, int last) {
  const int count = from.Count();
  if (count == 0) return;
  if (last < 0 || last >= count) last = count - 1;
  first = std::clamp(first, 0, count - 1);
  for (int i = first; i <= last; ++i) Add(from.Item(i)->CopyFor(styles_));
}

int TKxWord::GlyphAtTextPosition(int n) const {
  int position = 0;
  for (int i = 0; i < Count(); ++i) {
    const int chars = glyphs_[static_cast<size_t>(i)]->CharCount();
    if (chars > 0 && position + chars > n) return i;
    position += chars;
  }
  return -1;
}

int TKxWord::TextPositionOf(const TWdGlyph* glyph) const {
  int position = 0;
  for (const auto& g : glyphs_) {
    if (g.get() == glyph) break;
    position += g->CharCount();
  }
  return position;
}

std::string TKxWord::Text(int first, int last) const {
  if (last < 0 || last >= Count()) last = Count() - 1;
  std::string text;
  for (int i = std::max(first, 0); i <= last; ++i) text += glyphs_[static_cast<size_t>(i)]->Text();
  return text;
}

std::string TKxWord::ValueOf(const TWdOpeVar& var) const {
  if (var.compiled) {
    if (!variables) return {};
    var.compiled->Evaluate(*variables);
    const TCustomParam* result = var.compiled->result();
    return result ? result->GetAsStr() : std::string();
  }
  for (const std::string& entry : recorded_values) {
    if (entry.size() > var.expression.size() && entry[var.expression.size()] == '=' &&
        cp932::EqualsNoCase(std::string_view(entry).substr(0, var.expression.size()),
                            var.expression)) {
      std::string value = entry.substr(var.expression.size() + 1);
      std::replace(value.begin(), value.end(), kRecordedLineBreak, '\r');
      return value;
    }
  }
  const std::string_view text = Trim(var.expression);
  if (text.empty() || !variables) return {};
  try {
    TNovuParser parser;
    parser.LoadFromText(text);
    parser.Evaluate(*variables);
    const TCustomParam* result = parser.result();
    return result ? result->GetAsStr() : std::string();
  } catch (const NovuError&) {
    return {};
  }
}

void TKxWord::CollapseOne(TWdOpeVar& var) {
  for (TWdGlyph* produced : var.produced) {
    const int index = IndexOf(produced);
    if (index >= 0) glyphs_.erase(glyphs_.begin() + index);
  }
  var.produced.clear();
}

void TKxWord::ExpandOne(int index) {
  auto& var = static_cast<TWdOpeVar&>(*glyphs_[static_cast<size_t>(index)]);
  CollapseOne(var);
  const std::string value = ValueOf(var);
  int at = IndexOf(&var) + 1;
  for (size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<uint8_t>(value[i]);
    std::unique_ptr<TWdGlyph> glyph;
    if (byte == '\r') {
      glyph = std::make_unique<TWdVarReturn>();
    } else if (byte >= 32) {
      uint16_t code = byte;
      if (cp932::IsLeadByte(byte) && i + 1 < value.size()) {
        code = static_cast<uint16_t>(byte << 8 | static_cast<uint8_t>(value[++i]));
      }
      auto ch = std::make_unique<TWdVarChar>(styles_, code, var.style());
      ch->link = var.link;
      ch->wait = var.wait;
      glyph = std::move(ch);
    } else {
      continue;
    }
    var.produced.push_back(glyph.get());
    Insert(at++, std::move(glyph));
  }
}

void TKxWord::ExpandVariables(int first, int last) {
  if (last < 0 || last >= Count()) last = Count() - 1;
  for (int i = last; i >= std::max(first, 0); --i) {
    if (glyphs_[static_cast<size_t>(i)]->kind() == GlyphKind::kVar) ExpandOne(i);
  }
}

void TKxWord::CollapseVariables(int first, int last) {
  if (last < 0 || last >= Count()) last = Count() - 1;
  for (int i = last; i >= std::max(first, 0); --i) {
    if (i >= Count()) continue;
    TWdGlyph& glyph = *glyphs_[static_cast<size_t>(i)];
    if (glyph.kind() == GlyphKind::kVar) CollapseOne(static_cast<TWdOpeVar&>(glyph));
  }
}

void TKxWord::RecordVariables(std::vector<std::string>& into) const {
  for (const auto& glyph : glyphs_) {
    if (glyph->kind() != GlyphKind::kVar) continue;
    const auto& var = static_cast<const TWdOpeVar&>(*glyph);
    const std::string prefix = var.expression + "=";
    const bool known = std::any_of(into.begin(), into.end(), [&](const std::string& entry) {
      return entry.size() >= prefix.size() &&
             cp932::EqualsNoCase(std::string_view(entry).substr(0, prefix.size()), prefix);
    });
    if (known) continue;
    std::string value;
    for (const TWdGlyph* produced : var.produced) {
      value += produced->kind() == GlyphKind::kVarReturn ? std::string(1, kRecordedLineBreak)
                                                         : produced->Text();
    }
    into.push_back(prefix + value);
  }
}

}  // namespace novu::text

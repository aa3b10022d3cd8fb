// TKxWord::SetSource: the tags of the markup turned into glyphs.
#include <limits>

#include "core/cp932.h"
#include "core/integer_text.h"
#include "expr/param_collection.h"
#include "platform/error.h"
#include "text/kx_word.h"
#include "text/markup.h"

namespace novu::text {
namespace {

// @TextDelay of a fresh variable table: the wait of text parsed without one.
constexpr int32_t kInitialTextDelay = 50;

template <typename T>
class TagStack {
 public:
  explicit TagStack(T fallback) : default_(std::move(fallback)) {}
  const T& Top() const { return values_.empty() ? default_ : values_.back(); }
  void Push(T value) { values_.push_back(std::move(value)); }
  void Pop() {
    if (!values_.empty()) values_.pop_back();
  }

 private:
  T default_;
  std::vector<T> values_;
};

// The parser state: one stack per inheritable attribute, and the current flags, ruby and link.
struct TTagValList {
  explicit TTagValList(int32_t text_delay) : wait(text_delay) {}

  TagStack<int32_t> size{0};
  TagStack<int32_t> colour{-1};
  TagStack<int32_t> border_colour{-1};
  TagStack<int32_t> shadow_colour{-1};
  TagStack<std::string> font_name{std::string()};
  TagStack<int32_t> border_width{-1};
  TagStack<int32_t> shadow_offset{-1};
  TagStack<int32_t> align{kAlignLeft};
  TagStack<int32_t> wait;
  uint8_t flags = 0;
  bool no_break = false;
  std::string ruby;
  std::string link;

  DecorateAttributes Current() const {
    return {colour.Top(),
            border_colour.Top(),
            shadow_colour.Top(),
            size.Top(),
            flags,
            font_name.Top(),
            no_break,
            ruby,
            border_width.Top(),
            shadow_offset.Top()};
  }
};

std::optional<int32_t> IntegerValue(const TagAttribute* a) {
  if (!a || !a->value) return std::nullopt;
  const std::optional<int64_t> v = ParseInteger(*a->value);
  if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*v);
}

int32_t IntegerOr(const TTag& tag, std::string_view name, int32_t inherited) {
  return IntegerValue(tag.Find(name)).value_or(inherited);
}

int32_t ColourOr(const TTag& tag, std::string_view name, int32_t inherited) {
  const TagAttribute* a = tag.Find(name);
  if (!a || !a->value) return inherited;
  return ParseColour(*a->value).value_or(inherited);
}

// BORDER and SHADOW: absent repeats the current value, present without a number is 1.
int32_t WidthOr(const TTag& tag, std::string_view name, int32_t inherited) {
  const TagAttribute* a = tag.Find(name);
  if (!a) return inherited;
  const std::optional<int32_t> v = IntegerValue(a);
  return v ? std::max(*v, 0) : 1;
}

uint8_t AlignValue(const TTag& tag, uint8_t low, uint8_t high, uint8_t fallback) {
  static constexpr std::string_view kNames[] = {"LEFT", "RIGHT", "CENTER", "TOP", "BOTTOM"};
  const TagAttribute* a = tag.Find("ALIGN");
  if (!a || !a->value) return fallback;
  for (uint8_t i = 0; i < 5; ++i) {
    const uint8_t value = i + 1;
    if (cp932::EqualsNoCase(*a->value, kNames[i])) {
      return value >= low && value <= high ? value : fallback;
    }
  }
  return fallback;
}

std::string StringValue(const TTag& tag, std::string_view name) {
  const TagAttribute* a = tag.Find(name);
  return a && a->value ? *a->value : std::string();
}

class MarkupParser {
 public:
  MarkupParser(TKxWord& word, int32_t text_delay) : word_(word), state_(text_delay) {}

  void Token(const MarkupToken& token) {
    switch (KindOfToken(token)) {
      case TokenKind::kText:
        Text(token.text);
        break;
      case TokenKind::kTag:
        Tag(SplitTag(token.text));
        break;
      case TokenKind::kComment:
        break;
    }
  }

 private:
  void Text(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
      uint16_t code = static_cast<uint8_t>(text[i]);
      if (cp932::IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size()) {
        code = static_cast<uint16_t>(code << 8 | static_cast<uint8_t>(text[i + 1]));
        ++i;
      }
      ++i;
      auto glyph = std::make_unique<TWdChar>(word_.styles(), code, state_.Current());
      glyph->link = state_.link;
      glyph->wait = state_.wait.Top();
      word_.Add(std::move(glyph));
    }
  }

  void SetFlag(uint8_t flag, bool on) {
    state_.flags = on ? (state_.flags | flag) : (state_.flags & ~flag);
  }

  void Font(const TTag& tag) {
    TTagValList& s = state_;
    s.size.Push(IntegerOr(tag, "SIZE", s.size.Top()));
    s.colour.Push(ColourOr(tag, "COLOR", s.colour.Top()));
    s.border_colour.Push(ColourOr(tag, "BCOLOR", s.border_colour.Top()));
    s.shadow_colour.Push(ColourOr(tag, "SCOLOR", s.shadow_colour.Top()));
    const TagAttribute* name = tag.Find("NAME");
    s.font_name.Push(name && name->value ? *name->value : s.font_name.Top());
    s.border_width.Push(WidthOr(tag, "BORDER", s.border_width.Top()));
    s.shadow_offset.Push(WidthOr(tag, "SHADOW", s.shadow_offset.Top()));
  }

  void EndFont() {
    TTagValList& s = state_;
    s.size.Pop();
    s.colour.Pop();
    s.border_colour.Pop();
    s.shadow_colour.Pop();
    s.font_name.Pop();
    s.border_width.Pop();
    s.shadow_offset.Pop();
  }

  void AddAlign() {
    word_.Add(std::make_unique<TWdOpeAlign>(static_cast<uint8_t>(state_.align.Top())));
  }

  void Tag(const TTag& tag) {
    const auto is = [&](std::string_view name) { return cp932::EqualsNoCase(tag.head, name); };
    if (is("A")) {
      const TagAttribute* href = tag.Find("HREF");
      if (!href) throw NovuError::FromUtf8("<A>タグにHREF値がありません");
      state_.link = UnescapeValue(href->value.value_or(""));
    } else if (is("/A")) {
      state_.link.clear();
    } else if (is("B") || is("/B")) {
      SetFlag(FS_BOLD, is("B"));
    } else if (is("I") || is("/I")) {
      SetFlag(FS_ITALIC, is("I"));
    } else if (is("U") || is("/U")) {
      SetFlag(FS_UNDERLINE, is("U"));
    } else if (is("S") || is("/S")) {
      SetFlag(FS_STRIKEOUT, is("S"));
    } else if (is("FONT")) {
      Font(tag);
    } else if (is("/FONT")) {
      EndFont();
    } else if (is("NOBR") || is("/NOBR")) {
      state_.no_break = is("NOBR");
    } else if (is("RUBY")) {
      state_.ruby = StringValue(tag, "VALUE");
    } else if (is("/RUBY")) {
      state_.ruby.clear();
    } else if (is("DIV")) {
      state_.align.Push(AlignValue(tag, kAlignLeft, kAlignCenter, kAlignLeft));
      AddAlign();
    } else if (is("/DIV")) {
      state_.align.Pop();
      AddAlign();
    } else if (is("INDENT")) {
      word_.Add(std::make_unique<TWdOpeIndent>());
    } else if (is("UNDENT")) {
      word_.Add(std::make_unique<TWdOpeUndent>());
    } else if (is("BR")) {
      word_.Add(std::make_unique<TWdOpeReturn>(tag.Find("CLEAR") != nullptr));
    } else if (is("CLEAR")) {
      word_.Add(std::make_unique<TWdOpeReturn>(true));
    } else if (is("EVENT")) {
      word_.Add(std::make_unique<TWdOpeEvent>(UnescapeValue(StringValue(tag, "VALUE")),
                                              tag.Find("END") != nullptr));
    } else if (is("WAIT")) {
      state_.wait.Push(IntegerOr(tag, "VALUE", state_.wait.Top()));
    } else if (is("/WAIT")) {
      state_.wait.Pop();
    } else if (is("VAR")) {
      Var(StringValue(tag, "NAME"));
    } else if (is("IMG")) {
      Img(tag);
    }
  }

  void Var(std::string expression) {
    if (expression.empty()) return;
    auto var = std::make_unique<TWdOpeVar>(word_.styles(), std::move(expression), state_.Current());
    var->wait = state_.wait.Top();
    var->link = state_.link;
    word_.Add(std::move(var));
  }

  void Img(const TTag& tag) {
    std::string source = StringValue(tag, "SRC");
    if (source.empty()) return;
    auto img = std::make_unique<TWdImg>();
    img->source = std::move(source);
    img->align = AlignValue(tag, kAlignCenter, kAlignBottom, kAlignBottom);
    img->no_break = state_.no_break;
    img->ruby = state_.ruby;
    img->link = state_.link;
    img->wait = state_.wait.Top();
    word_.Add(std::move(img));
  }

  TKxWord& word_;
  TTagValList state_;
};

}  // namespace

void TKxWord::SetSource(std::span<const std::string> lines) {
  Clear();
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += '\r';
    joined += lines[i];
  }
  MarkupParser parser(*this, variables ? variables->text_delay() : kInitialTextDelay);
  for (const MarkupToken& token : TokenizeMarkup(joined)) parser.Token(token);
}

}  // namespace novu::text

#include "text/markup.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/cp932.h"

namespace novu::text {
namespace {

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && cp932::EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c) {
  return static_cast<uint8_t>(c) <= ' ';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Length in bytes of the character at `pos`: 2 for a lead byte with a byte after it.
size_t CharLength(std::string_view s, size_t pos) {
  return cp932::IsLeadByte(static_cast<uint8_t>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
}

constexpr std::array<std::string_view, 3> kCommentStarts = {"<!--", "<SCRIPT", "<STYLE"};
constexpr std::array<std::string_view, 3> kCommentEnds = {"-->", "</SCRIPT>", "</STYLE>"};
constexpr std::string_view kEscapable = "%<>\\{}";

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view source) : src_(source) {}

  std::vector<MarkupToken> Run() {
    while (pos_ < src_.size()) Step();
    Emit();
    return std::move(tokens_);
  }

 private:
  void Emit() {
    if (!token_.text.empty()) tokens_.push_back(std::move(token_));
    token_ = {};
  }

  void Append(std::string_view text) { token_.text += text; }
  void AppendChar() {
    const size_t length = CharLength(src_, pos_);
    Append(src_.substr(pos_, length));
    pos_ += length;
  }
  bool EndsWithSpace() const { return !token_.text.empty() && token_.text.back() == ' '; }
  std::string_view Rest() const { return src_.substr(pos_); }

  bool InComment() {
    for (std::string_view end : kCommentEnds) {
      if (StartsNoCase(Rest(), end)) {
        Append(Rest().substr(0, end.size()));
        pos_ += end.size();
        if (--comment_depth_ == 0) Emit();
        return true;
      }
    }
    if (src_[pos_] == '\r') {
      Append("\r\n");
      ++pos_;
    } else {
      AppendChar();
    }
    return true;
  }

  bool StartsComment() {
    for (std::string_view start : kCommentStarts) {
      if (!StartsNoCase(Rest(), start)) continue;
      if (tag_depth_ == 0) Emit();
      // A comment inside an unfinished tag replaces it.
      token_ = {};
      tag_depth_ = 0;
      Append(Rest().substr(0, start.size()));
      pos_ += start.size();
      ++comment_depth_;
      return true;
    }
    return false;
  }

  void CloseTag() {
    Append(">");
    ++pos_;
    const std::string closed = token_.text;
    Emit();
    tag_depth_ = 0;
    FollowBlock(closed, "PRE", pre_, textarea_);
    FollowBlock(closed, "TEXTAREA", textarea_, pre_);
  }

  // PRE and TEXTAREA keep line ends; a CR right after the opening tag is skipped, and the line
  // break token right before the closing tag is dropped.
  void FollowBlock(const std::string& closed, std::string_view name, bool& flag, bool other) {
    if (other) return;
    if (StartsNoCase(closed, "<" + std::string(name))) {
      flag = true;
      if (pos_ < src_.size() && src_[pos_] == '\r') ++pos_;
    } else if (StartsNoCase(closed, "</" + std::string(name))) {
      if (tokens_.size() >= 2 && tokens_[tokens_.size() - 2].text == "<BR>") {
        tokens_.erase(tokens_.end() - 2);
      }
      flag = false;
    }
  }

  void Step() {
    const char c = src_[pos_];
    if (comment_depth_ > 0) {
      InComment();
      return;
    }
    if (StartsComment()) return;
    if (quoted_) {
      if (c == '"') quoted_ = false;
      if (c == '\r' || c == '\n' || c == '\t') {
        ++pos_;
      } else {
        AppendChar();
      }
      return;
    }
    switch (c) {
      case '<':
        if (tag_depth_ == 0) Emit();
        Append("<");
        ++tag_depth_;
        ++pos_;
        return;
      case '>':
        if (tag_depth_ == 1) {
          CloseTag();
        } else if (tag_depth_ > 1) {
          --tag_depth_;
          ++pos_;
        } else {
          AppendChar();
        }
        return;
      case '\\':
        Escape();
        return;
      case '\r':
        LineEnd();
        return;
      case '\x14':
        if (!EndsWithSpace() || pre_ || textarea_) Append(" ");
        ++pos_;
        return;
      case '\t':
        if (pre_ || textarea_) Append("        ");
        ++pos_;
        return;
      case '"':
        quoted_ = true;
        AppendChar();
        return;
      case ' ':
        if (EndsWithSpace()) {
          ++pos_;
        } else {
          AppendChar();
        }
        return;
      default:
        AppendChar();
    }
  }

  void Escape() {
    if (pos_ + 1 >= src_.size()) {
      AppendChar();
      return;
    }
    const char next = src_[pos_ + 1];
    if (kEscapable.find(next) == std::string_view::npos) {
      ++pos_;
      return;
    }
    if (token_.text.empty()) token_.escaped_start = true;
    Append(std::string_view(&next, 1));
    pos_ += 2;
  }

  void LineEnd() {
    ++pos_;
    if (tag_depth_ == 0 && (pre_ || textarea_)) {
      Emit();
      if (pre_) tokens_.push_back({"<BR>", false});
      return;
    }
    if (!token_.text.empty() && !EndsWithSpace()) Append(" ");
  }

  std::string_view src_;
  size_t pos_ = 0;
  std::vector<MarkupToken> tokens_;
  MarkupToken token_;
  int tag_depth_ = 0;
  int comment_depth_ = 0;
  bool quoted_ = false;
  bool pre_ = false;
  bool textarea_ = false;
};

size_t FindBlankOr(std::string_view s, char other) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsBlank(s[i]) || s[i] == other) return i;
  }
  return s.size();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<MarkupToken> TokenizeMarkup(std::string_view joined) {
  return Tokenizer(joined).Run();
}

const TagAttribute* TTag::Find(std::string_view name) const {
  for (const TagAttribute& a : attributes) {
    if (cp932::EqualsNoCase(a.name, name)) return &a;
  }
  return nullptr;
}

TokenKind KindOfToken(const MarkupToken& token) {
  const std::string_view t = token.text;
  if (token.escaped_start || t.size() < 3 || t.front() != '<' || t.back() != '>') {
    return TokenKind::kText;
  }
  for (std::string_view start : kCommentStarts) {
    if (StartsNoCase(t, start)) return TokenKind::kComment;
  }
  return TokenKind::kTag;
}

TTag SplitTag(std::string_view token) {
  TTag tag;
  std::string_view rest = Trim(token.substr(1, token.size() - 2));
  const size_t head_end = FindBlankOr(rest, '=');
  tag.head = std::string(rest.substr(0, head_end));
  rest.remove_prefix(head_end);
  while (true) {
    rest = TrimLeft(rest);
    if (rest.empty()) break;
    const size_t name_end = FindBlankOr(rest, '=');
    TagAttribute attribute{std::string(rest.substr(0, name_end)), std::nullopt};
    rest.remove_prefix(name_end);
    if (!rest.empty() && rest.front() == '=') {
      rest.remove_prefix(1);
      if (!rest.empty()) {
        const char quote = rest.front();
        size_t end = std::string_view::npos;
        if (quote == '"' || quote == '\'') end = rest.find(quote, 1);
        if (end != std::string_view::npos) {
          attribute.value = std::string(rest.substr(1, end - 1));
          rest.remove_prefix(end + 1);
        } else {
          const size_t start = (quote == '"' || quote == '\'') ? 1 : 0;
          const size_t stop = std::max(start, FindBlankOr(rest, '\0'));
          attribute.value = std::string(rest.substr(start, stop - start));
          rest.remove_prefix(stop);
        }
      }
    }
    if (!attribute.name.empty()) tag.attributes.push_back(std::move(attribute));
  }
  return tag;
}

std::string UnescapeValue(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size();) {
    const size_t length = CharLength(value, i);
    if (length == 1 && value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[i + 1];
      if (next == '"' || next == '\\') {
        out += next;
        i += 2;
        continue;
      }
      if (next == 'n') {
        out += "\r\n";
        i += 2;
        continue;
      }
    }
    out += value.substr(i, length);
    i += length;
  }
  return out;
}

std::optional<int32_t> ParseColour(std::string_view value) {
  if (value.empty() || value.front() != '#') return std::nullopt;
  const std::string_view digits = value.substr(1, 6);
  if (digits.empty()) return std::nullopt;
  uint32_t rgb = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    rgb = rgb << 4 | static_cast<uint32_t>(d);
  }
  const uint32_t colour = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
  return static_cast<int32_t>(colour);
}

}  // namespace novu::text

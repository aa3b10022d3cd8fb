#pragma once
// The HTML-like markup of message text: the tokenizer that cuts the source into tags and runs
// of text, and the splitting of a tag token into its name and attributes. The tokenizer walks
// whole CP932 characters, so the trail byte 0x5C of a double-byte character (ソ, 表, 能, 十 ...)
// is never taken for the escape character; only a single-byte backslash escapes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace novu::text {

// One token of the source: a tag ("<...>"), a comment or script/style block (kept whole, later
// ignored), or a run of text. A token that begins with an escaped character is always text, so
// a backslash before each angle bracket of "<B>" shows the three characters.
struct MarkupToken {
  std::string text;
  bool escaped_start = false;

  bool operator==(const MarkupToken&) const = default;
};

// The source lines joined with CR, cut into tokens.
std::vector<MarkupToken> TokenizeMarkup(std::string_view joined);

struct TagAttribute {
  std::string name;
  std::optional<std::string> value;
};

// One tag token after splitting: its name as written and its attributes in order.
struct TTag {
  std::string head;
  std::vector<TagAttribute> attributes;

  // The first attribute with this name (matched without regard to case), or none.
  const TagAttribute* Find(std::string_view name) const;
};

enum class TokenKind { kText, kTag, kComment };
TokenKind KindOfToken(const MarkupToken& token);
// The name and attributes of a tag token (KindOfToken == kTag).
TTag SplitTag(std::string_view token);

// Link and event values: \" gives ", \\ gives \, \n gives CR LF (trail bytes are never taken
// for a backslash).
std::string UnescapeValue(std::string_view value);
// "#RRGGBB" as a colour 0x00BBGGRR; none for a value without '#' or with non-hex characters.
std::optional<int32_t> ParseColour(std::string_view value);

}  // namespace novu::text

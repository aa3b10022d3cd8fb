#include "authoring/description_words.h"

#include <charconv>
#include <cstdio>

#include "platform/error.h"
#include "platform/text_encoding.h"

namespace novu {
namespace {

[[noreturn]] void Fail(std::string_view what, int line, const std::string& message) {
  throw NovuError(
      platform::Utf8ToCp932(std::string(what) + " line " + std::to_string(line) + ": " + message));
}

}  // namespace

std::vector<std::string> SplitDescriptionWords(std::string_view text, int line,
                                               std::string_view what) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
      ++i;
      continue;
    }
    std::string word;
    if (text[i] != '"') {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
        word += text[i++];
      }
      words.push_back(word);
      continue;
    }
    ++i;
    bool closed = false;
    while (i < text.size()) {
      char c = text[i++];
      if (c == '"') {
        closed = true;
        break;
      }
      if (c != '\\') {
        word += c;
        continue;
      }
      if (i >= text.size()) break;
      char e = text[i++];
      switch (e) {
        case 'n':
          word += '\n';
          break;
        case 't':
          word += '\t';
          break;
        case 'r':
          word += '\r';
          break;
        case 'x': {
          if (i + 2 > text.size()) Fail(what, line, "\\x needs two hex digits");
          unsigned value = 0;
          auto [p, ec] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
          if (ec != std::errc() || p != text.data() + i + 2) Fail(what, line, "bad \\x escape");
          // A raw byte: marked so that it survives the UTF-8 to CP932 conversion.
          word += '\x01';
          word += static_cast<char>(value);
          i += 2;
          break;
        }
        default:
          word += e;
          break;
      }
    }
    if (!closed) Fail(what, line, "unterminated string");
    words.push_back(word);
  }
  return words;
}

// UTF-8 with raw-byte marks to CP932.
std::string DescriptionWordToCp932(const std::string& word) {
  std::string out;
  size_t start = 0;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '\x01' && i + 1 < word.size()) {
      out += platform::Utf8ToCp932(word.substr(start, i - start));
      out += word[i + 1];
      start = i + 2;
      ++i;
    }
  }
  out += platform::Utf8ToCp932(word.substr(start));
  return out;
}

// CP932 to a quoted description string.
std::string QuoteDescription(std::string_view cp932) {
  std::string utf8 = platform::Cp932ToUtf8(cp932);
  bool round_trips = platform::Utf8ToCp932(utf8) == cp932;
  std::string out = "\"";
  if (!round_trips) {
    char buf[8];
    for (unsigned char c : cp932) {
      if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
        out += static_cast<char>(c);
      } else {
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
      }
    }
    return out + "\"";
  }
  for (char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

}  // namespace novu

#include "authoring/project_description.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "core/integer_text.h"
#include "platform/error.h"
#include "platform/text_encoding.h"

namespace novu {
namespace {

struct Line {
  int number;
  std::vector<std::string> words;  // strings already unescaped, still UTF-8
};

[[noreturn]] void Fail(int line, const std::string& what) {
  throw NovuError(
      platform::Utf8ToCp932("project description line " + std::to_string(line) + ": " + what));
}

std::vector<std::string> SplitWords(std::string_view text, int line) {
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
          if (i + 2 > text.size()) Fail(line, "\\x needs two hex digits");
          unsigned value = 0;
          auto [p, ec] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
          if (ec != std::errc() || p != text.data() + i + 2) Fail(line, "bad \\x escape");
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
    if (!closed) Fail(line, "unterminated string");
    words.push_back(word);
  }
  return words;
}

// UTF-8 with raw-byte marks to CP932.
std::string ToCp932(const std::string& word) {
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

int32_t Int(const Line& line, size_t index) {
  if (index >= line.words.size()) Fail(line.number, "missing number");
  const std::string& w = line.words[index];
  auto value = ParseInteger(w);
  if (!value) Fail(line.number, "'" + w + "' is not a whole number");
  if (*value < INT32_MIN || *value > UINT32_MAX) Fail(line.number, "'" + w + "' is out of range");
  return static_cast<int32_t>(static_cast<uint32_t>(*value));
}

bool Bool(const Line& line, size_t index) {
  if (index >= line.words.size()) Fail(line.number, "missing flag");
  const std::string& w = line.words[index];
  if (w == "true") return true;
  if (w == "false") return false;
  return Int(line, index) != 0;
}

std::string Str(const Line& line, size_t index) {
  if (index >= line.words.size()) Fail(line.number, "missing text");
  return ToCp932(line.words[index]);
}

long double Float(const Line& line, size_t index) {
  if (index >= line.words.size()) Fail(line.number, "missing number");
  const std::string& w = line.words[index];
  char* end = nullptr;
  long double v = std::strtold(w.c_str(), &end);
  if (end == w.c_str() || *end != '\0') Fail(line.number, "'" + w + "' is not a number");
  return v;
}

uint8_t VariableType(const Line& line, size_t index) {
  if (index >= line.words.size()) Fail(line.number, "missing variable type");
  const std::string& w = line.words[index];
  if (w == "int") return 1;
  if (w == "float") return 2;
  if (w == "bool") return 3;
  if (w == "string") return 4;
  int32_t code = Int(line, index);
  if (code < 0 || code > 255) Fail(line.number, "a type code is 0 to 255");
  return static_cast<uint8_t>(code);
}

ProjectVariable ParseVariable(const Line& line) {
  ProjectVariable v;
  v.type = VariableType(line, 1);
  v.name = Str(line, 2);
  switch (v.type) {
    case 1:
      v.int_value = Int(line, 3);
      break;
    case 2:
      v.float_value = Float(line, 3);
      break;
    case 3:
      v.bool_value = Bool(line, 3);
      break;
    case 4:
      v.string_value = Str(line, 3);
      break;
    default:
      break;
  }
  return v;
}

// CP932 to a quoted description string.
std::string Quote(std::string_view cp932) {
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

std::string FormatFloat(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", v);
  return buf;
}

}  // namespace

TProjectSetting ParseProjectDescription(std::string_view text) {
  TProjectSetting s;
  std::istringstream in{std::string(text)};
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    Line line{number, SplitWords(raw, number)};
    if (line.words.empty() || line.words[0].starts_with("#")) continue;
    const std::string& key = line.words[0];
    if (key == "version")
      s.version = Int(line, 1);
    else if (key == "title")
      s.title = Str(line, 1);
    else if (key == "screen") {
      s.screen_width = Int(line, 1);
      s.screen_height = Int(line, 2);
    } else if (key == "fullscreen") {
      s.fullscreen_width = Int(line, 1);
      s.fullscreen_height = Int(line, 2);
    } else if (key == "start_page")
      s.start_page = Str(line, 1);
    else if (key == "exit_page")
      s.exit_page = Str(line, 1);
    else if (key == "registry_key")
      s.registry_key = Str(line, 1);
    else if (key == "image_option")
      s.image_option = Int(line, 1);
    else if (key == "store_status")
      s.store_status = Bool(line, 1);
    else if (key == "frame_sleep")
      s.frame_sleep = Bool(line, 1);
    else if (key == "media_extensions")
      s.media_extensions = Str(line, 1);
    else if (key == "pause_when_inactive")
      s.pause_when_inactive = Bool(line, 1);
    else if (key == "reserved") {
      int32_t v = Int(line, 1);
      if (v < 0 || v > 255) Fail(number, "reserved is one byte");
      s.reserved = static_cast<uint8_t>(v);
    } else if (key == "disc_change_message")
      s.disc_change_message = Str(line, 1);
    else if (key == "exit_message")
      s.exit_message = Str(line, 1);
    else if (key == "variable")
      s.variables.push_back(ParseVariable(line));
    else if (key == "folder_disc")
      s.folder_discs.push_back({Str(line, 1), Int(line, 2)});
    else
      Fail(number, "unknown field '" + key + "'");
  }
  return s;
}

std::string PrintProjectDescription(const TProjectSetting& s) {
  std::ostringstream out;
  out << "version " << s.version << "\n"
      << "title " << Quote(s.title) << "\n"
      << "screen " << s.screen_width << " " << s.screen_height << "\n"
      << "fullscreen " << s.fullscreen_width << " " << s.fullscreen_height << "\n"
      << "start_page " << Quote(s.start_page) << "\n"
      << "exit_page " << Quote(s.exit_page) << "\n"
      << "registry_key " << Quote(s.registry_key) << "\n"
      << "image_option " << s.image_option << "\n"
      << "store_status " << (s.store_status ? 1 : 0) << "\n"
      << "frame_sleep " << (s.frame_sleep ? 1 : 0) << "\n"
      << "media_extensions " << Quote(s.media_extensions) << "\n"
      << "pause_when_inactive " << (s.pause_when_inactive ? 1 : 0) << "\n"
      << "reserved " << static_cast<int>(s.reserved) << "\n"
      << "disc_change_message " << Quote(s.disc_change_message) << "\n"
      << "exit_message " << Quote(s.exit_message) << "\n";
  for (const ProjectVariable& v : s.variables) {
    out << "variable ";
    switch (v.type) {
      case 1:
        out << "int " << Quote(v.name) << " " << v.int_value;
        break;
      case 2:
        out << "float " << Quote(v.name) << " " << FormatFloat(v.float_value);
        break;
      case 3:
        out << "bool " << Quote(v.name) << " " << (v.bool_value ? "true" : "false");
        break;
      case 4:
        out << "string " << Quote(v.name) << " " << Quote(v.string_value);
        break;
      default:
        out << static_cast<int>(v.type) << " " << Quote(v.name);
        break;
    }
    out << "\n";
  }
  for (const FolderDisc& f : s.folder_discs) {
    out << "folder_disc " << Quote(f.folder) << " " << f.disc << "\n";
  }
  return out.str();
}

}  // namespace novu

#include "authoring/project_description.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "authoring/description_words.h"
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
  return DescriptionWordToCp932(line.words[index]);
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
    Line line{number, SplitDescriptionWords(raw, number, "project description")};
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
      << "title " << QuoteDescription(s.title) << "\n"
      << "screen " << s.screen_width << " " << s.screen_height << "\n"
      << "fullscreen " << s.fullscreen_width << " " << s.fullscreen_height << "\n"
      << "start_page " << QuoteDescription(s.start_page) << "\n"
      << "exit_page " << QuoteDescription(s.exit_page) << "\n"
      << "registry_key " << QuoteDescription(s.registry_key) << "\n"
      << "image_option " << s.image_option << "\n"
      << "store_status " << (s.store_status ? 1 : 0) << "\n"
      << "frame_sleep " << (s.frame_sleep ? 1 : 0) << "\n"
      << "media_extensions " << QuoteDescription(s.media_extensions) << "\n"
      << "pause_when_inactive " << (s.pause_when_inactive ? 1 : 0) << "\n"
      << "reserved " << static_cast<int>(s.reserved) << "\n"
      << "disc_change_message " << QuoteDescription(s.disc_change_message) << "\n"
      << "exit_message " << QuoteDescription(s.exit_message) << "\n";
  for (const ProjectVariable& v : s.variables) {
    out << "variable ";
    switch (v.type) {
      case 1:
        out << "int " << QuoteDescription(v.name) << " " << v.int_value;
        break;
      case 2:
        out << "float " << QuoteDescription(v.name) << " " << FormatFloat(v.float_value);
        break;
      case 3:
        out << "bool " << QuoteDescription(v.name) << " " << (v.bool_value ? "true" : "false");
        break;
      case 4:
        out << "string " << QuoteDescription(v.name) << " " << QuoteDescription(v.string_value);
        break;
      default:
        out << static_cast<int>(v.type) << " " << QuoteDescription(v.name);
        break;
    }
    out << "\n";
  }
  for (const FolderDisc& f : s.folder_discs) {
    out << "folder_disc " << QuoteDescription(f.folder) << " " << f.disc << "\n";
  }
  return out.str();
}

}  // namespace novu

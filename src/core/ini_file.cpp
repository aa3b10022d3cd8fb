#include "core/ini_file.h"

#include <fstream>
#include <sstream>

#include "core/cp932.h"
#include "core/integer_text.h"

namespace novu {
namespace {

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

std::string IniFile::Key(std::string_view section, std::string_view key) {
  return cp932::ToUpper(Trim(section)) + '\n' + cp932::ToUpper(Trim(key));
}

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  std::string section;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      section = std::string(
          line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = Key(section, line.substr(0, eq));
    ini.values_.try_emplace(key, std::string(Trim(line.substr(eq + 1))));
  }
  return ini;
}

IniFile IniFile::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::stringstream buffer;
  buffer << in.rdbuf();
  return Parse(buffer.str());
}

bool IniFile::Has(std::string_view section, std::string_view key) const {
  return values_.contains(Key(section, key));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  auto it = values_.find(Key(section, key));
  return it == values_.end() ? std::string(fallback) : it->second;
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  auto it = values_.find(Key(section, key));
  if (it == values_.end()) return fallback;
  auto value = ParseInteger(it->second);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return fallback;
  return static_cast<int>(*value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace novu

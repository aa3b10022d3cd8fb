#pragma once
// A read-only INI file as the Windows profile functions see it: sections and keys compare
// without regard to case, values are trimmed, a missing file or key yields the default.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace novu {

class IniFile {
 public:
  IniFile() = default;
  static IniFile Parse(std::string_view text);
  // A missing or unreadable file gives an empty IniFile.
  static IniFile Load(const std::filesystem::path& path);

  bool Has(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // Decimal, or hexadecimal with a "$" or "0x" prefix; anything else gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // An integer that is not 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

 private:
  static std::string Key(std::string_view section, std::string_view key);
  std::map<std::string, std::string> values_;
};

}  // namespace novu

#pragma once
// Changing one value in the text of an INI file while keeping everything else byte for byte:
// other sections, other keys, comments, blank lines, line ends and the file's encoding (values
// are written as given, bytes unchanged).
#include <string>
#include <string_view>

namespace novu {

// The text with `key` of `section` set to `value`. The line that IniFile reads the key from
// (its first occurrence in a section of that name) is rewritten as "Key=value", the key kept as
// written; a missing key is added after the last non-blank line of the first section of that
// name, and a missing section is appended at the end. Sections and keys compare without regard
// to case. New lines end as the file's lines do ("\r\n" for a file that has none).
std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace novu

#pragma once
// Finding an installed font file through fontconfig.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace novu::platform {

struct FontFile {
  std::string path;
  int face_index = 0;
};

// The best installed font that covers the language (an RFC 3066 tag such as "ja"), or nothing
// when no installed font covers it (fontconfig's nearest match for another script is refused,
// since it would draw empty boxes).
std::optional<FontFile> FindFontForLanguage(std::string_view language);

// The family names (UTF-8) of the installed fonts, sorted and without repeats; with
// `fixed_pitch_only` only the monospaced ones. Empty when fontconfig cannot start.
std::vector<std::string> ListFontFamilies(bool fixed_pitch_only);

}  // namespace novu::platform

#pragma once
// Finding an installed font file through fontconfig.
#include <optional>
#include <string>
#include <string_view>

namespace novu::platform {

struct FontFile {
  std::string path;
  int face_index = 0;
};

// The best installed font that covers the language (an RFC 3066 tag such as "ja"), or nothing
// when no installed font covers it (fontconfig's nearest match for another script is refused,
// since it would draw empty boxes).
std::optional<FontFile> FindFontForLanguage(std::string_view language);

}  // namespace novu::platform

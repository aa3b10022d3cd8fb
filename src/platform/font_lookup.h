#pragma once
// Finding an installed font file through fontconfig.
#include <filesystem>
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

// The installed font of a family (UTF-8, any of the family's names), or nothing when fontconfig
// only has a stand-in of another family.
std::optional<FontFile> FindFontByFamily(std::string_view family);

// Every family name of every face in a font file, in all the languages the file names them
// (UTF-8); empty when the file is not a font.
struct NamedFace {
  FontFile file;
  std::vector<std::string> families;
};
std::vector<NamedFace> FacesInFile(const std::filesystem::path& path);
// The faces of the font files (.ttf, .ttc, .otf) directly inside a folder; empty when there is
// no such folder.
std::vector<NamedFace> FacesInFolder(const std::filesystem::path& folder);

// A face name folded for comparison: full-width ASCII becomes ASCII, letters lower case, and
// spaces (ASCII and ideographic) and the middle dot are dropped. UTF-8 in and out.
std::string FoldFaceName(std::string_view utf8);

// The installed Japanese family that stands in for a Windows face name (UTF-8): a mincho face
// for mincho and serif names, a gothic face otherwise; the proportional variant for
// proportional names ("ＭＳ Ｐゴシック", "MS UI Gothic", "メイリオ", "Arial"). Unknown names
// get the fixed-pitch gothic, the system's fallback face.
std::string StandInFamily(std::string_view utf8_name);

// The font file for a game's face name (CP932): one of the game's own faces whose family name
// matches, else the installed stand-in family, else any Japanese font.
std::optional<FontFile> ResolveGameFont(std::string_view cp932_name,
                                        const std::vector<NamedFace>& game_faces);

}  // namespace novu::platform

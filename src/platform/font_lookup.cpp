#include "platform/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>

#include "platform/text_encoding.h"

namespace novu::platform {
namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct LangSetDeleter {
  void operator()(FcLangSet* l) const { FcLangSetDestroy(l); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

bool CoversLanguage(FcPattern* font, const FcChar8* language) {
  FcLangSet* langs = nullptr;  // owned by the pattern
  if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch) return false;
  return FcLangSetHasLang(langs, language) == FcLangEqual;
}

}  // namespace

std::optional<FontFile> FindFontForLanguage(std::string_view language) {
  if (!FcInit()) return std::nullopt;
  const std::string tag(language);
  const auto* lang = reinterpret_cast<const FcChar8*>(tag.c_str());
  Pattern pattern(FcPatternCreate());
  std::unique_ptr<FcLangSet, LangSetDeleter> wanted(FcLangSetCreate());
  if (!pattern || !wanted) return std::nullopt;
  FcLangSetAdd(wanted.get(), lang);
  FcPatternAddLangSet(pattern.get(), FC_LANG, wanted.get());
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());

  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match || result != FcResultMatch || !CoversLanguage(match.get(), lang)) return std::nullopt;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) {
    return std::nullopt;
  }
  int index = 0;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  return FontFile{reinterpret_cast<const char*>(file), index};
}

}  // namespace novu::platform

namespace novu::platform {
namespace {

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next code point of well-formed UTF-8 (our own conversions produce nothing else); a stray
// byte is taken as itself.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  const int extra = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
  if (extra == 0 || i + extra >= s.size()) {
    ++i;
    return lead;
  }
  char32_t c = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += static_cast<size_t>(extra) + 1;
  return c;
}

bool Contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

bool ContainsAny(std::string_view haystack, std::initializer_list<std::string_view> needles) {
  return std::any_of(needles.begin(), needles.end(),
                     [&](std::string_view n) { return Contains(haystack, n); });
}

std::vector<std::string> FamiliesOf(FcPattern* font) {
  std::vector<std::string> families;
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (family) families.emplace_back(reinterpret_cast<const char*>(family));
  }
  return families;
}

bool IsFontFileName(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".ttf" || ext == ".ttc" || ext == ".otf";
}

}  // namespace

std::string FoldFaceName(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = NextCodePoint(utf8, i);
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFF01 - 0x21;  // full-width ASCII
    if (c == ' ' || c == 0x3000 || c == 0x30FB || c == 0xFF65 || c == '-' || c == '_') continue;
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    AppendUtf8(out, c);
  }
  return out;
}

std::string StandInFamily(std::string_view utf8_name) {
  const std::string name = FoldFaceName(utf8_name);
  const bool mincho =
      ContainsAny(name, {"明朝", "mincho", "serif", "times", "century", "georgia"}) &&
      !Contains(name, "sans");
  const bool proportional_japanese =
      ContainsAny(name, {"pゴシック", "pｺﾞｼｯｸ", "p明朝", "pgothic", "pmincho", "ui", "pro",
                         "メイリオ", "meiryo", "游", "yu"});
  const bool proportional_latin =
      ContainsAny(name, {"arial", "times", "century", "georgia", "tahoma", "verdana", "segoe",
                         "trebuchet", "comic", "calibri", "helvetica"});
  // Any other name is one the system does not have: it falls back to the fixed-pitch gothic.
  const bool proportional = proportional_japanese || proportional_latin;
  if (mincho) return proportional ? "IPAPMincho" : "IPAMincho";
  return proportional ? "IPAPGothic" : "IPAGothic";
}

std::optional<FontFile> FindFontByFamily(std::string_view family) {
  if (!FcInit()) return std::nullopt;
  const std::string wanted(family);
  Pattern pattern(FcPatternCreate());
  if (!pattern) return std::nullopt;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(wanted.c_str()));
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match || result != FcResultMatch) return std::nullopt;
  const std::string folded = FoldFaceName(family);
  const auto families = FamiliesOf(match.get());
  if (std::none_of(families.begin(), families.end(),
                   [&](const std::string& f) { return FoldFaceName(f) == folded; })) {
    return std::nullopt;
  }
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) {
    return std::nullopt;
  }
  int index = 0;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  return FontFile{reinterpret_cast<const char*>(file), index};
}

std::vector<NamedFace> FacesInFile(const std::filesystem::path& path) {
  std::vector<NamedFace> faces;
  if (!FcInit()) return faces;
  const std::string file = path.string();
  int count = 1;
  for (int index = 0; index < count && index < 64; ++index) {
    Pattern pattern(
        FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.c_str()), index, nullptr, &count));
    if (!pattern) break;
    faces.push_back({FontFile{file, index}, FamiliesOf(pattern.get())});
  }
  return faces;
}

std::vector<NamedFace> FacesInFolder(const std::filesystem::path& folder) {
  std::vector<NamedFace> faces;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return faces;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : it) {
    if (entry.is_regular_file(error) && IsFontFileName(entry.path())) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // the same choice whatever order the disk lists
  for (const auto& file : files) {
    auto more = FacesInFile(file);
    std::move(more.begin(), more.end(), std::back_inserter(faces));
  }
  return faces;
}

std::optional<FontFile> ResolveGameFont(std::string_view cp932_name,
                                        const std::vector<NamedFace>& game_faces) {
  const std::string utf8 = Cp932ToUtf8(cp932_name);
  const std::string folded = FoldFaceName(utf8);
  for (const NamedFace& face : game_faces) {
    for (const std::string& family : face.families) {
      if (FoldFaceName(family) == folded) return face.file;
    }
  }
  if (auto installed = FindFontByFamily(StandInFamily(utf8))) return installed;
  return FindFontForLanguage("ja");
}

}  // namespace novu::platform

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps a few bytes of its parsed configuration unreachable for the life of the
// process; that is not ours to free, and without this every program that looks up a font would
// fail the leak check at exit. Weak, so that a program with suppressions of its own wins.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif

namespace novu::platform {

std::vector<std::string> ListFontFamilies(bool fixed_pitch_only) {
  std::vector<std::string> names;
  if (!FcInit()) return names;
  Pattern pattern(FcPatternCreate());
  if (fixed_pitch_only) FcPatternAddInteger(pattern.get(), FC_SPACING, FC_MONO);
  FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern.get(), fields);
  FcObjectSetDestroy(fields);
  if (fonts == nullptr) return names;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch) {
      names.emplace_back(reinterpret_cast<const char*>(family));
    }
  }
  FcFontSetDestroy(fonts);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace novu::platform

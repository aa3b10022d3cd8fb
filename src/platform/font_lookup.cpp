#include "platform/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

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

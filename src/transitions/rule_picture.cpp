#include "transitions/rule_picture.h"

#include <algorithm>
#include <optional>
#include <string>

#include "imagefmt/fipo_frame_list.h"
#include "platform/error.h"
#include "render/dib_surface.h"
#include "render/image_codecs.h"

namespace novu::transitions {
namespace {

bool StartsWith(std::span<const uint8_t> data, std::string_view magic) {
  return data.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), data.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

std::optional<std::vector<uint8_t>> LoadRuleFile(const WipeContext& context,
                                                 std::string_view name) {
  if (!context.load_file || name.empty()) return std::nullopt;
  if (auto data = context.load_file(name)) return data;
  if (name.find('.') != std::string_view::npos) return std::nullopt;
  for (const char* extension : {".fip", ".png", ".bmp"}) {
    if (auto data = context.load_file(std::string(name) + extension)) return data;
  }
  return std::nullopt;
}

std::optional<render::TDIBSurface> DecodeRule(std::span<const uint8_t> data, int32_t code) {
  if (StartsWith(data, "\x89PNG")) return render::DecodePng(data);
  if (StartsWith(data, "BM")) return render::DecodeBmp(data);
  imagefmt::TFipoFrameList list(code);
  list.LoadFromStream(data, true);
  if (list.Count() == 0) return std::nullopt;
  return std::move(list.Frames(0).picture);
}

}  // namespace

std::vector<uint8_t> RuleGreys(const WipeContext& context, std::string_view name, bool reverse,
                               int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::vector<uint8_t> greys(static_cast<size_t>(width) * static_cast<size_t>(height), 255);
  std::optional<render::TDIBSurface> picture;
  try {
    if (const auto data = LoadRuleFile(context, name))
      picture = DecodeRule(*data, context.image_code);
  } catch (const NovuError&) {
    picture.reset();  // unreadable: no rule
  }
  if (!picture || picture->IsEmpty()) return greys;
  if (reverse) picture->Negative();
  const int pw = picture->Width(), ph = picture->Height();
  std::vector<uint8_t> levels(static_cast<size_t>(pw) * static_cast<size_t>(ph));
  for (int y = 0; y < ph; ++y) {
    for (int x = 0; x < pw; ++x) {
      uint8_t r, g, b;
      picture->Rgb8Of(picture->GetPixel(x, y), r, g, b);
      levels[static_cast<size_t>(y) * pw + x] = NearestGrey(r, g, b);
    }
  }
  for (int y = 0; y < height; ++y) {
    const uint8_t* source = &levels[static_cast<size_t>(y % ph) * pw];
    uint8_t* out = &greys[static_cast<size_t>(y) * width];
    for (int x = 0; x < width; ++x) out[x] = source[x % pw];
  }
  return greys;
}

}  // namespace novu::transitions

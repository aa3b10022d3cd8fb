#pragma once
// Pictures and games services for the transition tests, all made by code.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "render/dibx.h"
#include "render/surface_fixtures.h"
#include "transitions/custom_wipe.h"

namespace novu::transitions::testing {

// A picture of seeded random colours (channels only: no bits outside the colour channels).
inline void FillPicture(render::TDIBX& picture, int width, int height, int depth, uint32_t seed) {
  picture.SetSize(width, height, depth);
  render::testing::PixelSource pixels(seed, depth == 32 ? 24 : depth);
  render::testing::FillRandom(picture, pixels);
}

inline void FillColour(render::TDIBX& picture, int width, int height, int depth, int32_t colour) {
  picture.SetSize(width, height, depth);
  picture.Clear(static_cast<uint32_t>(picture.ColorToPixel(colour)));
}

inline void CopyPicture(const render::TDIBX& source, render::TDIBX& out) {
  out.SetSize(source.Width(), source.Height(), source.BitCount());
  out.Assign(source);
}

// The first pixel where two pictures differ, as text ("" when none).
inline std::string FirstDifference(const render::TDIBX& a, const render::TDIBX& b) {
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) +
               "): " + std::to_string(a.GetPixel(x, y)) + " vs " + std::to_string(b.GetPixel(x, y));
      }
    }
  }
  return "";
}

// Files of a game held in memory.
struct MemoryFiles {
  std::map<std::string, std::vector<uint8_t>> files;

  WipeContext::FileLoader Loader() const {
    return [this](std::string_view name) -> std::optional<std::vector<uint8_t>> {
      const auto it = files.find(std::string(name));
      if (it == files.end()) return std::nullopt;
      return it->second;
    };
  }
};

}  // namespace novu::transitions::testing

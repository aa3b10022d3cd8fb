#pragma once
// The rule picture of the rule-driven transitions: per screen pixel a grey level (0-255) that
// says when the pixel changes (white first, black last).
#include <cstdint>
#include <string_view>
#include <vector>

#include "transitions/custom_wipe.h"

namespace novu::transitions {

// The grey levels of a width × height screen, row by row from the top: the first frame of the
// named picture (a layered image, PNG or Windows bitmap, found through the game's files; a name
// without extension also tries ".fip", ".png" and ".bmp"), inverted when `reverse`, tiled from
// the top-left, each colour matched to the nearest grey level. A picture that is missing or
// cannot be read leaves every level white (255).
std::vector<uint8_t> RuleGreys(const WipeContext& context, std::string_view name, bool reverse,
                               int width, int height);

// The nearest of the 256 grey levels to a colour: the rounded mean of its channels.
constexpr uint8_t NearestGrey(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((r + g + b + 1) / 3);
}

}  // namespace novu::transitions

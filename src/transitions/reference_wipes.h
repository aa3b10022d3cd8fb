#pragma once
// The transitions written plainly from their formulas: every frame is computed from the
// elapsed time alone, pixel by pixel wherever the effect is defined per pixel, with no tables,
// no caches and no incremental painting. This is the reference the effects are checked
// against; keep it obvious rather than quick.
#include <cstdint>

#include "render/custom_dibx.h"
#include "render/dib_surface.h"

namespace novu::transitions {

struct ReferenceScene {
  int32_t kind = 0;
  int32_t param0 = 0, param1 = 0;  // as given to SetParam, before any clamp
  bool reverse = false;
  int32_t duration = 1;
  // The rule image of the rule kinds as loaded (none: no rule image).
  const render::TDIBSurface* rule = nullptr;
  // The seed of the process generator when the transition was created (crack, random blocks).
  uint32_t random_seed = 0;
};

// Draws the frame of `elapsed` into `target`, which holds the previous frame (or the old
// screen before the first). Nothing is drawn at or after the end.
void ReferenceFrame(const ReferenceScene& scene, int32_t elapsed, const render::TCustomDIBX& from,
                    const render::TCustomDIBX& to, render::TCustomDIBX& target);

}  // namespace novu::transitions

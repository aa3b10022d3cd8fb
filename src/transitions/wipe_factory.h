#pragma once
// CreateWipe: the transition of a kind number with the kind's default parameters.
#include <cstdint>
#include <memory>

#include "transitions/custom_wipe.h"
#include "transitions/wipe_kind.h"

namespace novu::transitions {

struct WipeDefaults {
  int32_t param0 = 0, param1 = 0;
};

// The parameters the factory gives a kind (before the kind's own clamps).
WipeDefaults DefaultParams(int32_t kind);

// The transition of `kind` drawing into `target` from `from` to `to`, with the context set and
// the defaults passed through SetParam; null for kinds outside 1-38 (the flip happens at once).
std::unique_ptr<TCustomWipe> CreateWipe(int32_t kind, render::TCustomDIBX& target,
                                        const render::TCustomDIBX& from,
                                        const render::TCustomDIBX& to, WipeContext context = {});

}  // namespace novu::transitions

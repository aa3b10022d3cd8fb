// The fast loops at 4 pixels a step (SSE2, the x86-64 baseline).
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/pixel_kernels.h"

// The vector helpers are internal to this file; their calling convention does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace novu::render {
namespace sse2 {
#define FAST_LANES 4
#include "render/fast_kernels_impl.h"
#undef FAST_LANES
}  // namespace sse2

const KernelSet& Sse2Kernels() {
  static const KernelSet set{"sse2", sse2::FastDirect, sse2::FastScaled, sse2::FastRotated,
                             sse2::FastFill};
  return set;
}

}  // namespace novu::render

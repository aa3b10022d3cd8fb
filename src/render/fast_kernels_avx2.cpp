// The fast loops at 8 pixels a step, compiled for AVX2 and used only when the processor has it.
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/pixel_kernels.h"

// The vector helpers are internal to this file; their calling convention does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

#if defined(__x86_64__) || defined(__i386__)
#define NOVU_HAVE_AVX2_KERNELS 1
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace novu::render::avx2 {
#define FAST_LANES 8
#include "render/fast_kernels_impl.h"
#undef FAST_LANES
}  // namespace novu::render::avx2

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

namespace novu::render {

const KernelSet* Avx2Kernels() {
#ifdef NOVU_HAVE_AVX2_KERNELS
  if (!__builtin_cpu_supports("avx2")) return nullptr;
  static const KernelSet set{"avx2", avx2::FastDirect, avx2::FastScaled, avx2::FastRotated,
                             avx2::FastFill};
  return &set;
#else
  return nullptr;
#endif
}

}  // namespace novu::render

#pragma once
// The pixel loops behind the drawing operations. Each kernel set runs whole blits (all rows of
// one planned draw); operations pick the active set once per call, never per pixel.
//
// The reference set applies the rules of pixel_rules.h pixel by pixel at every depth. The fast
// sets work on raw rows with SIMD at 32 bits and specialised loops at 15/16 bits, and hand
// anything else to the reference. Tests run both on the same random pictures.
#include <cstddef>
#include <cstdint>
#include <span>

#include "render/blit_plan.h"
#include "render/pixel_format.h"
#include "render/pixel_rules.h"

namespace novu::render {

// Raw access to a surface's pixels; row 0 is the top row.
struct SurfaceRows {
  uint8_t* top = nullptr;
  ptrdiff_t pitch = 0;
  int32_t width = 0, height = 0;
  int storage_bits = 0;
  uint8_t* Row(int32_t y) const { return top + y * pitch; }
};

// Destination, source, and (for masked rules) the 8-bit mask aligned with the source.
struct BlitSurfaces {
  SurfaceRows dst;
  SurfaceRows src;
  SurfaceRows mask;
};

struct KernelSet {
  const char* name;
  void (*direct)(Rule, const RuleParams&, const PixelFormat&, const BlitSurfaces&,
                 const DirectBlit&);
  void (*scaled)(Rule, const RuleParams&, const PixelFormat&, const BlitSurfaces&,
                 const ScaledBlit&);
  void (*rotated)(Rule, const RuleParams&, const PixelFormat&, const BlitSurfaces&,
                  const RotatedBlit&);
  void (*fill)(Rule, const RuleParams&, const PixelFormat&, const SurfaceRows&, const Rect&);
};

const KernelSet& ReferenceKernels();
// SSE2 is the x86-64 baseline; the AVX2 set is null on processors without AVX2.
const KernelSet& Sse2Kernels();
const KernelSet* Avx2Kernels();

// The set the drawing operations use: the best one for this processor unless a test chose one.
const KernelSet& ActiveKernels();
void SetActiveKernels(const KernelSet& set);

}  // namespace novu::render

#pragma once
// Small pictures built by code for the surface tests: seeded random contents whose values
// repeat often enough to hit the key colour, equal source and destination pixels, and mask
// values 0 and 255.
#include <cstdint>
#include <random>

#include "render/dibx.h"

namespace novu::render::testing {

inline uint32_t RawMaskFor(int depth) {
  switch (depth) {
    case 8:
      return 0xFF;
    case 15:
      return 0x7FFF;
    case 16:
      return 0xFFFF;
    case 24:
      return 0xFFFFFF;
    default:
      return 0xFFFFFFFF;
  }
}

// Raw values drawn from a few shared colours most of the time, so that source and destination
// pixels are often equal.
class PixelSource {
 public:
  PixelSource(uint32_t seed, int depth) : rng_(seed), mask_(RawMaskFor(depth)) {
    for (auto& c : shared_) c = static_cast<uint32_t>(rng_()) & mask_;
  }
  uint32_t Next() {
    const uint32_t pick = static_cast<uint32_t>(rng_());
    if (pick % 10 < 6) return shared_[(pick >> 8) % 4];
    return static_cast<uint32_t>(rng_()) & mask_;
  }
  uint32_t Shared(int i) const { return shared_[i]; }
  uint8_t NextMask() {
    const uint32_t pick = static_cast<uint32_t>(rng_());
    if (pick % 4 == 0) return 0;
    if (pick % 4 == 1) return 255;
    return static_cast<uint8_t>(pick >> 8);
  }

 private:
  std::mt19937 rng_;
  uint32_t mask_;
  uint32_t shared_[4];
};

inline void FillRandom(TDIBX& surface, PixelSource& pixels) {
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) surface.SetPixel(x, y, pixels.Next());
  }
}

inline void FillRandomMask(TDIBX& mask, PixelSource& pixels) {
  for (int y = 0; y < mask.Height(); ++y) {
    for (int x = 0; x < mask.Width(); ++x) mask.SetPixel(x, y, pixels.NextMask());
  }
}

// FNV-1a over the visible pixel bytes, row by row from the top (row padding excluded).
inline uint64_t PixelHash(const TDIBX& surface) {
  uint64_t h = 1469598103934665603ull;
  const size_t row_bytes =
      (static_cast<size_t>(surface.Width()) * surface.StorageBitCount() + 7) / 8;
  for (int y = 0; y < surface.Height(); ++y) {
    const uint8_t* row = surface.Surface().ScanLine(y);
    for (size_t i = 0; i < row_bytes; ++i) {
      h ^= row[i];
      h *= 1099511628211ull;
    }
  }
  return h;
}

// Selects a kernel set for the lifetime of the object.
class KernelScope {
 public:
  explicit KernelScope(const KernelSet& set) : saved_(ActiveKernels()) { SetActiveKernels(set); }
  ~KernelScope() { SetActiveKernels(saved_); }
  KernelScope(const KernelScope&) = delete;
  KernelScope& operator=(const KernelScope&) = delete;

 private:
  const KernelSet& saved_;
};

}  // namespace novu::render::testing

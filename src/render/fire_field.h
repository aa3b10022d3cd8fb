#pragma once
// The cellular fire: an 8-bit heat field whose bottom rows are kept hot and which is cooled and
// smoothed upward, one step at a time, with scrolling noise; drawn additively through a fixed
// fire palette. Indices 16 and below are cold and never drawn.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/process_random.h"
#include "render/dib_surface.h"

namespace novu::render {

// The palette, 0xRRGGBB, from black through red and orange to pale yellow.
std::span<const uint32_t, 256> FirePalette();
// The pixel tables the palette is drawn through: 32-bit entries as they stand, or 5-6-5
// entries (5-5-5 for a 15-bit screen).
std::array<uint32_t, 256> FirePixels16(bool fifteen_bit);

// The divisor the decay table is built from for a power (clamped into 0..255): 5.5 for 0,
// about 2.945 for 255.
double FireDecayDivisor(int32_t power);
// Entry s = min(254, round(s / (x - 0.05 e^3))) with e = (1023 - s) / 1023, half to even.
std::array<uint8_t, 1024> FireDecayTable(double divisor);

class FireField {
 public:
  static constexpr uint8_t kCold = 16;
  static constexpr uint8_t kHot = 254;
  static constexpr double kInitialDivisor = 4.5;

  FireField();
  // Resizes the heat field (when the size differs), fills it with the cold value, refills the
  // noise (0 to 8 from `random`) and rebuilds the wrap tables; the offsets go back to 0. A size
  // no picture can have gives an empty field.
  void Reset(int32_t width, int32_t height, ProcessRandom& random);
  void SetDecay(double divisor) { decay_ = FireDecayTable(divisor); }
  // One step: scroll the noise, heat the bottom four rows, cool and smooth the rest upward.
  void Step();

  const TDIBSurface& heat() const { return heat_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  const std::array<uint8_t, 1024>& decay() const { return decay_; }

 private:
  TDIBSurface heat_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> noise_;
  // Entry i = i mod size, kept in 8 bits as the original tables were.
  std::vector<uint8_t> row_wrap_;
  std::vector<uint8_t> column_wrap_;
  int32_t row_offset_ = 0;
  int32_t column_offset_ = 0;
  std::array<uint8_t, 1024> decay_{};
};

}  // namespace novu::render

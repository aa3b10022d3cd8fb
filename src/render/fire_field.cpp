#include "render/fire_field.h"

#include <algorithm>
#include <cmath>

#include "platform/error.h"

namespace novu::render {
namespace {

constexpr std::array<uint32_t, 256> kPalette = {
    0x000000, 0x030100, 0x060200, 0x090300, 0x0C0400, 0x0F0600, 0x130700, 0x160800, 0x190900,
    0x1C0A00, 0x1F0C00, 0x230D01, 0x260E01, 0x290F01, 0x2C1101, 0x2F1201, 0x331301, 0x361401,
    0x391501, 0x3C1701, 0x3F1801, 0x421901, 0x461A02, 0x491C02, 0x4C1D02, 0x4F1E02, 0x521F02,
    0x562002, 0x592202, 0x5C2302, 0x5F2402, 0x622502, 0x662703, 0x672703, 0x682803, 0x6A2903,
    0x6B2903, 0x6C2A03, 0x6E2B03, 0x6F2C03, 0x712C03, 0x722D03, 0x732E03, 0x752E03, 0x762F03,
    0x783003, 0x793103, 0x7A3103, 0x7C3203, 0x7D3303, 0x7E3403, 0x803403, 0x813504, 0x833604,
    0x843604, 0x853704, 0x873804, 0x883904, 0x8A3904, 0x8B3A04, 0x8C3B04, 0x8E3C04, 0x8F3C04,
    0x913D04, 0x923E04, 0x933E04, 0x953F04, 0x964004, 0x974104, 0x994104, 0x9A4204, 0x9C4304,
    0x9D4405, 0x9E4405, 0xA04505, 0xA14605, 0xA34605, 0xA44705, 0xA54805, 0xA74905, 0xA84905,
    0xA94A05, 0xAB4B05, 0xAC4B05, 0xAE4C05, 0xAF4D05, 0xB04E05, 0xB24E05, 0xB34F05, 0xB55005,
    0xB65105, 0xB75105, 0xB95206, 0xBA5306, 0xBC5306, 0xBD5406, 0xBE5506, 0xC05606, 0xC15606,
    0xC25706, 0xC45806, 0xC55906, 0xC75906, 0xC85A06, 0xC95B06, 0xCB5B06, 0xCC5C06, 0xCE5D06,
    0xCF5E06, 0xD05E06, 0xD25F06, 0xD36006, 0xD56107, 0xD66207, 0xD66307, 0xD76507, 0xD76607,
    0xD86707, 0xD96808, 0xD96A08, 0xDA6B08, 0xDA6C08, 0xDB6D08, 0xDC6E08, 0xDC7008, 0xDD7108,
    0xDD7208, 0xDE7308, 0xDF7509, 0xDF7609, 0xE07709, 0xE07809, 0xE17A09, 0xE27B09, 0xE27C09,
    0xE37D09, 0xE47F0A, 0xE4800A, 0xE5810A, 0xE5820A, 0xE6840A, 0xE7850A, 0xE7860A, 0xE8870A,
    0xE9890B, 0xE98A0B, 0xEA8B0B, 0xEA8C0B, 0xEB8E0B, 0xEC8F0B, 0xEC900B, 0xED910B, 0xEE930C,
    0xEE940C, 0xEF950C, 0xEF960C, 0xF0980C, 0xF1990C, 0xF19A0C, 0xF29B0C, 0xF39D0D, 0xF39E0E,
    0xF39F0F, 0xF4A010, 0xF4A112, 0xF4A213, 0xF5A314, 0xF5A416, 0xF6A517, 0xF6A618, 0xF6A71A,
    0xF7A91B, 0xF7AA1C, 0xF7AB1E, 0xF8AC1F, 0xF8AD20, 0xF9AE22, 0xF9AF23, 0xF9B024, 0xFAB125,
    0xFAB227, 0xFAB328, 0xFBB529, 0xFBB62B, 0xFCB72C, 0xFCB82D, 0xFCB92F, 0xFDBA30, 0xFDBB31,
    0xFDBC33, 0xFEBD34, 0xFEBE35, 0xFFC037, 0xFFC038, 0xFFC13A, 0xFFC13C, 0xFFC23E, 0xFFC340,
    0xFFC342, 0xFFC444, 0xFFC446, 0xFFC548, 0xFFC64A, 0xFFC64B, 0xFFC74D, 0xFFC74F, 0xFFC851,
    0xFFC953, 0xFFC955, 0xFFCA57, 0xFFCA59, 0xFFCB5B, 0xFFCC5D, 0xFFCC5F, 0xFFCD60, 0xFFCD62,
    0xFFCE64, 0xFFCF66, 0xFFCF68, 0xFFD06A, 0xFFD06C, 0xFFD16E, 0xFFD270, 0xFFD272, 0xFFD373,
    0xFFD375, 0xFFD477, 0xFFD579, 0xFFD57B, 0xFFD67D, 0xFFD67F, 0xFFD781, 0xFFD883, 0xFFD885,
    0xFFD987, 0xFFD988, 0xFFDA8A, 0xFFDB8C, 0xFFDB8E, 0xFFDC90, 0xFFDC92, 0xFFDD94, 0xFFDE96,
    0xFFDE98, 0xFFDF9A, 0xFFDF9B, 0xFFE09D, 0xFFE19F, 0xFFE1A1, 0xFFE2A3, 0xFFE2A5, 0xFFE3A7,
    0xFFE4A9, 0xFFE4AB, 0xFFE5AD, 0xFFE6AF,
};

}  // namespace

std::span<const uint32_t, 256> FirePalette() {
  return kPalette;
}

std::array<uint32_t, 256> FirePixels16(bool fifteen_bit) {
  std::array<uint32_t, 256> table{};
  for (size_t i = 0; i < table.size(); ++i) {
    const uint32_t r = kPalette[i] >> 16 & 0xFF;
    const uint32_t g = kPalette[i] >> 8 & 0xFF;
    const uint32_t b = kPalette[i] & 0xFF;
    uint32_t v = (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    if (fifteen_bit) v = ((v >> 6) << 5) | (v & 0x1F);
    table[i] = v;
  }
  return table;
}

double FireDecayDivisor(int32_t power) {
  const int32_t p = std::clamp(power, 0, 255);
  return (128.0 - p) / 128.0 * 1.2825 + 4.2175;
}

std::array<uint8_t, 1024> FireDecayTable(double divisor) {
  std::array<uint8_t, 1024> table{};
  for (int s = 0; s < 1024; ++s) {
    const double e = (1023.0 - s) / 1023.0;
    const double value = std::nearbyint(s / (divisor - 0.05 * e * e * e));
    // A divisor near zero or below (never from a power) gives the hottest entry.
    table[s] = static_cast<uint8_t>(value >= 0.0 && value <= 254.0 ? value : 254.0);
  }
  return table;
}

FireField::FireField() {
  heat_.SetSize(8, 8, 8);
  SetDecay(kInitialDivisor);
}

void FireField::Reset(int32_t width, int32_t height, ProcessRandom& random) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width != heat_.Width() || height != heat_.Height()) {
    try {
      heat_.SetSize(width, height, 8);
    } catch (const NovuError&) {
      heat_.SetSize(0, 0, 8);  // a field too large for a picture burns nowhere
    }
  }
  width_ = heat_.Width();
  height_ = heat_.Height();
  row_offset_ = column_offset_ = 0;
  noise_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  for (uint8_t& n : noise_) n = static_cast<uint8_t>(random.Below(9));
  row_wrap_.resize(static_cast<size_t>(height_) * 2);
  for (size_t i = 0; i < row_wrap_.size(); ++i) row_wrap_[i] = static_cast<uint8_t>(i % height_);
  column_wrap_.resize(static_cast<size_t>(width_) * 2);
  for (size_t i = 0; i < column_wrap_.size(); ++i) {
    column_wrap_[i] = static_cast<uint8_t>(i % width_);
  }
  for (int32_t y = 0; y < height_; ++y) std::fill_n(heat_.ScanLine(y), width_, kCold);
}

void FireField::Step() {
  const int32_t w = width_;
  const int32_t h = height_;
  if (w == 0 || h == 0) return;
  row_offset_ = row_wrap_[row_offset_ + 1];
  if ((row_offset_ & 7) == 0) column_offset_ = column_wrap_[column_offset_ + 1];
  for (int32_t y = std::max(h - 4, 0); y < h; ++y) std::fill_n(heat_.ScanLine(y), w, kHot);
  // A field of fewer than four rows is all bottom rows.
  if (h < 4) return;
  // The noise column of cell x is the column wrap entry of (column offset + x): (that mod w)
  // kept in 8 bits. It rises by one from cell to cell between the points where it wraps, so the
  // row is cooled in straight runs of the noise. max(value, 16) is the floor table.
  for (int32_t y = 0; y + 2 < h; ++y) {
    uint8_t* row = heat_.ScanLine(y);
    const uint8_t* below = heat_.ScanLine(y + 1);
    const uint8_t* below2 = heat_.ScanLine(y + 2);
    const uint8_t* noise = noise_.data() + static_cast<size_t>(row_wrap_[row_offset_ + y + 1]) * w;
    for (int32_t x = 1; x + 1 < w;) {
      const int32_t column = (column_offset_ + x) % w;
      const int32_t run = std::min({w - column, 256 - (column & 0xFF), w - 1 - x});
      const uint8_t* noise_at = noise + (column & 0xFF) - x;
      for (const int32_t end = x + run; x < end; ++x) {
        const int s = below[x - 1] + below[x + 1] + row[x] + below2[x];
        const auto v = static_cast<uint8_t>(decay_[s] - noise_at[x]);
        row[x] = std::max(v, kCold);
      }
    }
  }
}

}  // namespace novu::render

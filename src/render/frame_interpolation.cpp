#include "render/frame_interpolation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace novu::render {
namespace {

int32_t Clamp32(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::clamp(v, double{std::numeric_limits<int32_t>::min()},
                                         double{std::numeric_limits<int32_t>::max()}));
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Round half to even (the default floating-point rounding).
double RoundEven(double v) {
  return std::nearbyint(v);
}

constexpr double kQuarterTurn = std::numbers::pi / 2.0;

}  // namespace

int32_t InterpolateInt(uint8_t mode, int32_t start, int32_t end, int64_t k, int64_t n) {
  if (k == 0 || n <= 1) return start;
  if (k == n - 1) return end;
  const int64_t span = int64_t{end} - start;
  switch (mode) {
    case kAccelerate: {
      const double s = std::sin(static_cast<double>(n - k - 1) * kQuarterTurn / n);
      return Clamp32(static_cast<double>(end) - RoundEven(static_cast<double>(span) * s));
    }
    case kDecelerate: {
      const double s = std::sin(static_cast<double>(k) * kQuarterTurn / n);
      return Clamp32(static_cast<double>(start) + RoundEven(s * static_cast<double>(span)));
    }
    default: {
      // k and span both fit in 33 bits, so the product cannot overflow 64 bits for any window
      // a file can describe (k is clamped by the callers to the 32-bit frame range).
      const int64_t step = std::clamp<int64_t>(k, -(int64_t{1} << 31), int64_t{1} << 31);
      return Clamp32(int64_t{start} + step * span / (n - 1));
    }
  }
}

double InterpolateReal(uint8_t mode, double start, double end, int64_t k, int64_t n) {
  if (k == 0 || n <= 0) return start;
  if (k == n - 1) return end;
  const double span = end - start;
  const double kd = static_cast<double>(k);
  const double nd = static_cast<double>(n);
  switch (mode) {
    case kAccelerate:
      return end - span * std::sin((nd - kd - 1.0) * kQuarterTurn / nd);
    case kDecelerate:
      return start + std::sin(kd * kQuarterTurn / nd) * span;
    default:
      return start + kd * span / nd;
  }
}

int32_t DegreesToTurns(double degrees) {
  const double turns = RoundEven(degrees * 256.0 / 360.0);
  if (!std::isfinite(turns)) return 0;
  const double reduced = std::fmod(turns, 256.0);
  const auto value = static_cast<int32_t>(reduced);
  return value < 0 ? value + 256 : value;
}

int32_t AlphaCodeAt(int32_t start, int32_t end, int64_t k, int64_t n) {
  if (start == 0 && end == 0) return 255;
  const int32_t s = start == 0 ? 255 : start;
  const int32_t e = end == 0 ? 255 : end;
  const int32_t r = InterpolateInt(kLinear, s, e, k, n);
  return r < 0 ? Clamp32(int64_t{256} - r) : r;
}

int32_t ScaleTo256(double scale) {
  return Clamp32(std::trunc(scale * 256.0));
}

int32_t InterpolateColour(int32_t start, int32_t end, int64_t k, int64_t n) {
  int32_t colour = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int32_t a = (start >> shift) & 0xFF;
    const int32_t b = (end >> shift) & 0xFF;
    colour |= (InterpolateInt(kLinear, a, b, k, n) & 0xFF) << shift;
  }
  return colour;
}

}  // namespace novu::render

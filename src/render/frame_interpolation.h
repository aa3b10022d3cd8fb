#pragma once
// How a film track moves a value from its start to its end over the frames of its window.
// Modes: 0 linear, 1 accelerating (slow start), 2 decelerating (slow end). `k` is the frame
// within the window, `n` the number of frames the movement spans; frame 0 shows the start and
// frame n - 1 the end. Products are formed in 64 bits and results clamped to 32 bits.
#include <cstdint>

namespace novu::render {

enum InterpolationMode : uint8_t { kLinear = 0, kAccelerate = 1, kDecelerate = 2 };

int32_t InterpolateInt(uint8_t mode, int32_t start, int32_t end, int64_t k, int64_t n);
// The real form: its linear mode divides by n (the integer form by n - 1).
double InterpolateReal(uint8_t mode, double start, double end, int64_t k, int64_t n);

// Degrees turned into 1/256 turns, rounded half to even, reduced into 0..255.
int32_t DegreesToTurns(double degrees);
// The alpha code of a track's alpha pair at step k: 0 is read as 255, a negative value r
// becomes the additive code 256 - r; both values 0 give 255 throughout.
int32_t AlphaCodeAt(int32_t start, int32_t end, int64_t k, int64_t n);
// A scale (1.0 = 100 %) in 1/256, truncated toward zero and clamped to 32 bits.
int32_t ScaleTo256(double scale);
// Each of the three colour channels of 0x00BBGGRR moved linearly.
int32_t InterpolateColour(int32_t start, int32_t end, int64_t k, int64_t n);

}  // namespace novu::render

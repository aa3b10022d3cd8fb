// Drawing operations of 32-bit surfaces against an anchor measured in the same run: pixman's
// compositing of the same pixels (blends and transforms) and memcpy of the same bytes (copies).
// Pictures and masks are non-blank seeded random data.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>

#include "ratio.h"
#include "render/dibx.h"

namespace {

using novu::Rect;
using novu::render::TDIBX;

constexpr double kStretchFactor = 1.5;
constexpr int kRotateAngle256 = 30 * 256 / 360;  // 30 degrees in 1/256 turns (21)

void FillRandom(TDIBX& s, uint32_t seed, uint32_t key = 0, int key_one_in = 0) {
  std::mt19937 rng(seed);
  for (int y = 0; y < s.Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(s.Surface().ScanLine(y));
    for (int x = 0; x < s.Width(); ++x) {
      row[x] = static_cast<uint32_t>(rng()) & 0x00FFFFFF;
      // Runs of key pixels, as transparent areas of a picture have.
      if (key_one_in && (x / 16 + y) % key_one_in == 0) row[x] = key;
    }
  }
}

void FillRandomMask(TDIBX& m, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < m.Height(); ++y) {
    uint8_t* row = m.Surface().ScanLine(y);
    for (int x = 0; x < m.Width(); ++x) row[x] = static_cast<uint8_t>(rng());
  }
}

std::unique_ptr<TDIBX> RandomSurface(int w, int h, uint32_t seed) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(w, h, 32);
  FillRandom(*s, seed);
  return s;
}

// A pixman view of a surface's pixels (top row first, positive stride).
struct PixmanView {
  pixman_image_t* image = nullptr;
  PixmanView(TDIBX& s, pixman_format_code_t format) {
    // Rows are stored bottom-up: the bottom row is the lowest address.
    auto* bottom = reinterpret_cast<uint32_t*>(s.Surface().ScanLine(s.Height() - 1));
    image = pixman_image_create_bits(format, s.Width(), s.Height(), bottom,
                                     static_cast<int>(s.Surface().Stride()));
  }
  ~PixmanView() { pixman_image_unref(image); }
  PixmanView(const PixmanView&) = delete;
  PixmanView& operator=(const PixmanView&) = delete;
};

// --- DrawAlpha against OVER with a solid mask -------------------------------------------------

void BM_DrawAlpha(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  for (auto _ : state) {
    dst->DrawAlpha(0, 0, 128, {}, {0, 0, w, h}, *src);
    benchmark::ClobberMemory();
  }
}

void BM_PixmanOverSolid(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  PixmanView s(*src, PIXMAN_x8r8g8b8), d(*dst, PIXMAN_x8r8g8b8);
  const pixman_color_t half{0, 0, 0, 0x8080};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s.image, mask, d.image, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
}

// --- DrawAlphaMasked against OVER with an a8 mask ---------------------------------------------

void BM_DrawAlphaMasked(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  TDIBX mask;
  mask.SetSize(w, h, 8);
  FillRandomMask(mask, 3);
  for (auto _ : state) {
    dst->DrawAlphaMasked(0, 0, 255, mask, {}, {0, 0, w, h}, *src);
    benchmark::ClobberMemory();
  }
}

void BM_PixmanOverA8(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  TDIBX mask;
  mask.SetSize(w, h, 8);
  FillRandomMask(mask, 3);
  PixmanView s(*src, PIXMAN_x8r8g8b8), d(*dst, PIXMAN_x8r8g8b8), m(mask, PIXMAN_a8);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s.image, m.image, d.image, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
}

// --- StretchDraw 1.5x against a nearest-filter scale ------------------------------------------

void BM_StretchDraw(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const int sw = static_cast<int>(w / kStretchFactor), sh = static_cast<int>(h / kStretchFactor);
  auto src = RandomSurface(sw, sh, 1), dst = RandomSurface(w, h, 2);
  for (auto _ : state) {
    dst->StretchDraw({0, 0, w, h}, *src, 255, {}, {0, 0, sw, sh});
    benchmark::ClobberMemory();
  }
}

void BM_PixmanScaleNearest(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const int sw = static_cast<int>(w / kStretchFactor), sh = static_cast<int>(h / kStretchFactor);
  auto src = RandomSurface(sw, sh, 1), dst = RandomSurface(w, h, 2);
  PixmanView s(*src, PIXMAN_x8r8g8b8), d(*dst, PIXMAN_x8r8g8b8);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(static_cast<double>(sw) / w),
                              pixman_double_to_fixed(static_cast<double>(sh) / h));
  pixman_image_set_transform(s.image, &t);
  pixman_image_set_filter(s.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
}

// --- DrawRotate 30 degrees against a nearest-filter affine transform --------------------------

void BM_DrawRotate(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  for (auto _ : state) {
    dst->DrawRotate(w / 2, h / 2, 255, {}, kRotateAngle256, h / 2, w / 2, {0, 0, w, h}, *src, 256,
                    256);
    benchmark::ClobberMemory();
  }
}

void BM_PixmanRotateNearest(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  PixmanView s(*src, PIXMAN_x8r8g8b8), d(*dst, PIXMAN_x8r8g8b8);
  // Destination to source: move the centre to the origin, rotate back, move it back.
  const double theta = kRotateAngle256 * 2 * std::numbers::pi / 256;
  pixman_transform_t t;
  pixman_transform_init_translate(&t, pixman_int_to_fixed(-w / 2), pixman_int_to_fixed(-h / 2));
  pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(theta)),
                          pixman_double_to_fixed(-std::sin(theta)));
  pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(w / 2), pixman_int_to_fixed(h / 2));
  pixman_image_set_transform(s.image, &t);
  pixman_image_set_filter(s.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, s.image, nullptr, d.image, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
}

// --- plain and keyed Draw against memcpy of the same bytes ------------------------------------

void BM_Draw(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  for (auto _ : state) {
    dst->Draw(0, 0, {}, {0, 0, w, h}, *src);
    benchmark::ClobberMemory();
  }
}

void BM_DrawKeyed(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  constexpr uint32_t kKey = 0x00FF00FF;
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  FillRandom(*src, 1, kKey, 5);
  src->SetKeyColor(kKey);
  for (auto _ : state) {
    dst->Draw(0, 0, {.use_key = true}, {0, 0, w, h}, *src);
    benchmark::ClobberMemory();
  }
}

void BM_Memcpy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  auto src = RandomSurface(w, h, 1), dst = RandomSurface(w, h, 2);
  const auto from = src->Surface().Bits();
  auto to = dst->Surface().Bits();
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
}

#define NOVU_SIZES Args({800, 600})->Args({1280, 720})
BENCHMARK(BM_DrawAlpha)->NOVU_SIZES;
BENCHMARK(BM_PixmanOverSolid)->NOVU_SIZES;
BENCHMARK(BM_DrawAlphaMasked)->NOVU_SIZES;
BENCHMARK(BM_PixmanOverA8)->NOVU_SIZES;
BENCHMARK(BM_StretchDraw)->NOVU_SIZES;
BENCHMARK(BM_PixmanScaleNearest)->NOVU_SIZES;
BENCHMARK(BM_DrawRotate)->NOVU_SIZES;
BENCHMARK(BM_PixmanRotateNearest)->NOVU_SIZES;
BENCHMARK(BM_Draw)->NOVU_SIZES;
BENCHMARK(BM_DrawKeyed)->NOVU_SIZES;
BENCHMARK(BM_Memcpy)->NOVU_SIZES;

NOVU_RATIO("DrawAlpha/pixman_over_solid/800x600", "BM_DrawAlpha/800/600",
           "BM_PixmanOverSolid/800/600", 1.0);
NOVU_RATIO("DrawAlpha/pixman_over_solid/1280x720", "BM_DrawAlpha/1280/720",
           "BM_PixmanOverSolid/1280/720", 1.0);
NOVU_RATIO("DrawAlphaMasked/pixman_over_a8/800x600", "BM_DrawAlphaMasked/800/600",
           "BM_PixmanOverA8/800/600", 1.0);
NOVU_RATIO("DrawAlphaMasked/pixman_over_a8/1280x720", "BM_DrawAlphaMasked/1280/720",
           "BM_PixmanOverA8/1280/720", 1.0);
NOVU_RATIO("StretchDraw1.5x/pixman_nearest/800x600", "BM_StretchDraw/800/600",
           "BM_PixmanScaleNearest/800/600", 1.0);
NOVU_RATIO("StretchDraw1.5x/pixman_nearest/1280x720", "BM_StretchDraw/1280/720",
           "BM_PixmanScaleNearest/1280/720", 1.0);
NOVU_RATIO("DrawRotate30/pixman_nearest/800x600", "BM_DrawRotate/800/600",
           "BM_PixmanRotateNearest/800/600", 1.0);
NOVU_RATIO("DrawRotate30/pixman_nearest/1280x720", "BM_DrawRotate/1280/720",
           "BM_PixmanRotateNearest/1280/720", 1.0);
NOVU_RATIO("Draw/memcpy/800x600", "BM_Draw/800/600", "BM_Memcpy/800/600", 1.5);
NOVU_RATIO("Draw/memcpy/1280x720", "BM_Draw/1280/720", "BM_Memcpy/1280/720", 1.5);
NOVU_RATIO("DrawKeyed/memcpy/800x600", "BM_DrawKeyed/800/600", "BM_Memcpy/800/600", 1.5);
NOVU_RATIO("DrawKeyed/memcpy/1280x720", "BM_DrawKeyed/1280/720", "BM_Memcpy/1280/720", 1.5);

}  // namespace

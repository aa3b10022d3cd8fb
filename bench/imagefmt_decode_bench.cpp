// Loading pictures: a 1280 × 720 32-bit picture with mask from a deflated layered image, against
// the same pixels from a PNG file through libpng; and a scrambled picture of 100,000 blocks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imagefmt/fipo_frame_list.h"
#include "ratio.h"
#include "render/dib_surface.h"
#include "render/image_codecs.h"

namespace {

using novu::imagefmt::Compression;
using novu::imagefmt::SaveOptions;
using novu::imagefmt::TFipoFrameList;
using novu::render::TDIBSurface;

// Something like a game picture: smooth shading, a few flat shapes, light grain, and a soft
// round mask.
TDIBSurface ScenePicture(int width, int height) {
  TDIBSurface p(width, height, 32);
  p.EnsureMask();
  std::mt19937 grain(7);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(p.ScanLine(y));
    uint8_t* mask = p.Mask()->ScanLine(y);
    for (int x = 0; x < width; ++x) {
      uint32_t r = static_cast<uint32_t>(x * 255 / width);
      uint32_t g = static_cast<uint32_t>(y * 255 / height);
      uint32_t b = static_cast<uint32_t>((x + y) * 255 / (width + height));
      if ((x / 160 + y / 120) % 5 == 0) r = g = b = 0xC0;
      const uint32_t n = grain() & 3;
      row[x] = ((r ^ n) << 16) | ((g ^ n) << 8) | (b ^ n);
      const int dx = x - width / 2, dy = y - height / 2;
      const int d = dx * dx + dy * dy;
      mask[x] = d < 300 * 300   ? 255
                : d > 340 * 340 ? 0
                                : static_cast<uint8_t>(255 - (d - 90000) / 137);
    }
  }
  return p;
}

const std::vector<uint8_t>& SceneFip() {
  static const std::vector<uint8_t> file = [] {
    TFipoFrameList list;
    list.AddFrame().picture = ScenePicture(1280, 720);
    SaveOptions options;  // "Default compression"
    options.deflate_level = 1;
    return list.SaveToStream(options);
  }();
  return file;
}

const std::vector<uint8_t>& ScenePng() {
  static const std::vector<uint8_t> file = novu::render::EncodePng(ScenePicture(1280, 720));
  return file;
}

void BM_FipDecode(benchmark::State& state) {
  const std::vector<uint8_t>& file = SceneFip();
  for (auto _ : state) {
    TFipoFrameList list;
    list.LoadFromStream(file, true);
    benchmark::DoNotOptimize(list.Frames(0).picture.Bits().data());
  }
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_FipDecode)->Args({1280, 720})->Unit(benchmark::kMillisecond);

void BM_PngDecode(benchmark::State& state) {
  const std::vector<uint8_t>& file = ScenePng();
  for (auto _ : state) {
    TDIBSurface picture = novu::render::DecodePng(file);
    benchmark::DoNotOptimize(picture.Bits().data());
  }
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_PngDecode)->Args({1280, 720})->Unit(benchmark::kMillisecond);

NOVU_RATIO("imagefmt/fip_decode_vs_png", "BM_FipDecode/1280/720", "BM_PngDecode/1280/720", 1.0);

// 1000 × 400 in 2 × 2 blocks: 100,000 entries drawn from the permutation, then the blocks.
void BM_FipDecodeScrambledBlocks(benchmark::State& state) {
  static const std::vector<uint8_t> file = [] {
    TFipoFrameList list(12345);
    list.AddFrame().picture = ScenePicture(1000, 400);
    SaveOptions options;
    options.block_width = 2;
    options.block_height = 2;
    return list.SaveToStream(options);
  }();
  for (auto _ : state) {
    TFipoFrameList list(12345);
    list.LoadFromStream(file, true);
    benchmark::DoNotOptimize(list.Frames(0).picture.Bits().data());
  }
}
BENCHMARK(BM_FipDecodeScrambledBlocks)->Unit(benchmark::kMillisecond);

}  // namespace

// A page of 400 characters (kana and kanji, 24 pixels, about a hundred distinct ones) drawn from
// the warm glyph cache into an 800 x 600 colour and coverage surface pair, against rendering the
// same 400 characters with FreeType each time, as text would cost without the cache.
#include <benchmark/benchmark.h>

#include <vector>

#include "ratio.h"
#include "render/dibx.h"
#include "text/font_pixel.h"

namespace {

using novu::text::TFontPixelManager;

constexpr int kGlyphs = 400;
constexpr int kSize = 24;
constexpr int kPerRow = 30;
constexpr std::string_view kFace = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9";  // ＭＳ 明朝

// Hiragana 0x829F.., katakana 0x8340.. and kanji 0x889F.., cycling through 100 of them.
std::vector<uint16_t> PageText() {
  std::vector<uint16_t> codes;
  for (int i = 0; i < kGlyphs; ++i) {
    const int k = (i * 37) % 100;
    codes.push_back(static_cast<uint16_t>(k < 40   ? 0x829F + k
                                          : k < 70 ? 0x8340 + (k - 40)
                                                   : 0x889F + (k - 70)));
  }
  return codes;
}

void BM_GlyphCacheDraw(benchmark::State& state) {
  TFontPixelManager cache(novu::platform::MakeFreeTypeGlyphSource());
  novu::render::TDIBX colour, coverage;
  colour.SetSize(800, 600, 32);
  coverage.SetSize(800, 600, 8);
  const std::vector<uint16_t> text = PageText();
  for (uint16_t code : text) cache.Get(code, kFace, 0, kSize);  // warm
  novu::text::GlyphDrawSpec draw;
  draw.text_colour = 0xFFFFFF;
  for (auto _ : state) {
    for (int i = 0; i < kGlyphs; ++i) {
      draw.cell =
          novu::MakeRect(10 + (i % kPerRow) * kSize, 10 + (i / kPerRow) * kSize, kSize, kSize);
      const auto pixel = cache.Get(text[static_cast<size_t>(i)], kFace, 0, kSize);
      benchmark::DoNotOptimize(TFontPixelManager::Draw(*pixel, colour, coverage, draw));
    }
  }
}
BENCHMARK(BM_GlyphCacheDraw)->Unit(benchmark::kMicrosecond);

void BM_FreeTypeRender(benchmark::State& state) {
  auto source = novu::platform::MakeFreeTypeGlyphSource();
  const novu::platform::FontRequest font{std::string(kFace), kSize, 0};
  const std::vector<uint16_t> text = PageText();
  for (auto _ : state) {
    for (uint16_t code : text) benchmark::DoNotOptimize(source->Outline(font, code, 3));
  }
}
BENCHMARK(BM_FreeTypeRender)->Unit(benchmark::kMicrosecond);

NOVU_RATIO("GlyphCache/hit-vs-freetype-render", "BM_GlyphCacheDraw", "BM_FreeTypeRender", 0.05);

}  // namespace

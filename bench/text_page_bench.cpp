// A page of 400 bordered characters fading in: every glyph is blended from the page's colour
// surface through its coverage with its own alpha. The anchor is one full-screen 800 x 600
// DrawAlpha of a picture, which a frame of a fading page should not cost more than.
#include <benchmark/benchmark.h>

#include <random>

#include "ratio.h"
#include "render/dibx.h"
#include "text/page_surfaces.h"

namespace {

using namespace novu;
using novu::Rect;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kGlyphs = 400;

// Rendering is not measured: each character is a box with a border, and its coverage is empty
// in half of the cell (in 3 x 3 blocks, as strokes leave gaps) and a ramp in the other half.
class RampPainter : public text::GlyphPainter {
 public:
  Rect Paint(const text::CharacterPaint& p, render::TCustomDIBX& colour,
             render::TCustomDIBX& coverage) override {
    colour.FillRect(p.cell, static_cast<uint32_t>(colour.ColorToPixel(p.border_colour)));
    const int b = p.border_width;
    colour.FillRect(novu::Grown(p.cell, -b),
                    static_cast<uint32_t>(colour.ColorToPixel(p.text_colour)));
    for (int y = p.cell.top; y < p.cell.bottom; ++y) {
      for (int x = p.cell.left; x < p.cell.right; ++x) {
        const bool ink = (x / 3 + y / 3) % 2 == 1;
        coverage.SetPixel(x, y, ink ? static_cast<uint32_t>((x * 7 + y * 13) & 0xFF) : 0u);
      }
    }
    return p.cell;
  }
};

struct FadingPage {
  text::TKxWord word;
  text::PageList pages;
  text::TextPageSurfaces surfaces;

  FadingPage() {
    word.settings.wrap_width = kScreenWidth;
    word.settings.visible_height = kScreenHeight;
    word.settings.font_size = 24;
    std::string markup = "<FONT BORDER=1 COLOR=#FFFFFF BCOLOR=#202020>";
    for (int i = 0; i < kGlyphs; ++i) markup += "\x8a\xbf";  // a kanji
    word.SetSource(std::vector<std::string>{markup});
    text::LayoutGlyphs(word, pages);
    RampPainter painter;
    surfaces.Redraw(word, *pages[0], painter, false);
    for (int i = 0; i < word.Count(); ++i) {
      if (auto* real = dynamic_cast<text::TWdReal*>(word.Item(i))) real->SetAlpha(128);
    }
  }
};

void BM_TextPageDraw(benchmark::State& state) {
  FadingPage page;
  render::TDIBX screen;
  screen.SetSize(kScreenWidth, kScreenHeight, 32);
  screen.Clear(0x336699);
  const Rect clip{0, 0, kScreenWidth, kScreenHeight};
  for (auto _ : state) {
    page.surfaces.Draw(page.word, *page.pages[0], screen, 0, 0, clip);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TextPageDraw);

void BM_DrawAlphaScreen(benchmark::State& state) {
  render::TDIBX screen;
  screen.SetSize(kScreenWidth, kScreenHeight, 32);
  screen.Clear(0x336699);
  render::TDIBX picture;
  picture.SetSize(kScreenWidth, kScreenHeight, 32);
  std::mt19937 rng(7);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) picture.SetPixel(x, y, rng() & 0xFFFFFF);
  }
  const Rect all{0, 0, kScreenWidth, kScreenHeight};
  for (auto _ : state) {
    screen.DrawAlpha(0, 0, 128, {}, all, picture);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawAlphaScreen);

NOVU_RATIO("TextPageDraw/400-bordered-glyphs-vs-DrawAlpha-800x600", "BM_TextPageDraw",
           "BM_DrawAlphaScreen", 1.0);

}  // namespace

#pragma once
// The pictures a message window shows inside its text: one image list per picture glyph, loaded
// when the text is laid out (the first frame gives the glyph its size), drawn with the glyph's
// fade alpha and run by the window's frame clock.
#include <cstdint>
#include <map>
#include <memory>

#include "controls/image_list.h"
#include "text/text_layout.h"

namespace novu {

namespace text {
class TWdImg;
}

class InlinePictures {
 public:
  explicit InlinePictures(TFipoCollection* cache) : cache_(cache) {}

  // The size of the glyph's first frame; 0 x 0 when its file does not exist or cannot be read.
  text::GlyphSize Measure(const text::TWdImg& glyph);
  // Draws the glyph's current frame at (x, y) with the alpha rule of pictures.
  void Draw(const text::TWdImg& glyph, render::TCustomDIBX& target, int x, int y,
            int alpha_code) const;
  // Runs the glyph's frame clock; true when its frame changed.
  bool Advance(const text::TWdImg& glyph, int32_t elapsed_ms);
  // Drops every list: the glyphs they belonged to are gone.
  void Clear() { lists_.clear(); }

 private:
  TNovuImageList* ListOf(const text::TWdImg& glyph) const;

  TFipoCollection* cache_;
  std::map<const text::TWdImg*, std::unique_ptr<TNovuImageList>> lists_;
};

}  // namespace novu

#include "controls/inline_pictures.h"

#include "platform/error.h"
#include "text/glyphs.h"

namespace novu {

text::GlyphSize InlinePictures::Measure(const text::TWdImg& glyph) {
  auto& list = lists_[&glyph];
  if (list == nullptr) {
    list = std::make_unique<TNovuImageList>(cache_);
    try {
      // The list is its own user of the cached picture: two glyphs showing one file each
      // release only their own hold on it.
      list->Load(list.get(), glyph.source, true);
      // A missing file takes no room in the text (the cache's placeholder would take 8 x 8).
      if (list->item() != nullptr && list->item()->placeholder()) list->Clear();
    } catch (const NovuError&) {
      list->Clear();
    }
  }
  const TNovuImageData* first = list->Item(0);
  if (first == nullptr) return {};
  return {first->Picture().Width(), first->Picture().Height()};
}

TNovuImageList* InlinePictures::ListOf(const text::TWdImg& glyph) const {
  const auto it = lists_.find(&glyph);
  return it != lists_.end() ? it->second.get() : nullptr;
}

void InlinePictures::Draw(const text::TWdImg& glyph, render::TCustomDIBX& target, int x, int y,
                          int alpha_code) const {
  const TNovuImageList* list = ListOf(glyph);
  const TNovuImageData* frame = list != nullptr ? list->Item(list->index()) : nullptr;
  if (frame == nullptr) return;
  const render::TCustomDIBX& picture = frame->Picture();
  target.DrawWithAlphaCode(x, y, alpha_code, frame->Mask(), {.use_key = true},
                           Rect{0, 0, picture.Width(), picture.Height()}, picture);
}

bool InlinePictures::Advance(const text::TWdImg& glyph, int32_t elapsed_ms) {
  TNovuImageList* list = ListOf(glyph);
  return list != nullptr && list->Advance(elapsed_ms);
}

}  // namespace novu

#include "controls/cached_picture.h"

#include "controls/fipo_collection.h"

namespace novu {

void CachedPicture::Load(std::string_view name) {
  Clear();
  if (name.empty() || cache_ == nullptr) return;
  item_ = cache_->Acquire(this, name, false, false);
}

void CachedPicture::Clear() {
  if (item_ != nullptr && cache_ != nullptr) cache_->Release(item_, this);
  item_ = nullptr;
}

const render::TDIBX* CachedPicture::surface() const {
  TFipoItemFrame* frame = item_ != nullptr ? item_->Frame(0) : nullptr;
  return frame != nullptr ? frame->surface.get() : nullptr;
}

const render::TDIBX* CachedPicture::mask() const {
  TFipoItemFrame* frame = item_ != nullptr ? item_->Frame(0) : nullptr;
  return frame != nullptr ? frame->mask.get() : nullptr;
}

int32_t CachedPicture::width() const {
  const render::TDIBX* s = surface();
  return s != nullptr ? s->Width() : 0;
}

int32_t CachedPicture::height() const {
  const render::TDIBX* s = surface();
  return s != nullptr ? s->Height() : 0;
}

}  // namespace novu

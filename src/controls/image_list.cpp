#include "controls/image_list.h"

#include <algorithm>
#include <cstdlib>

namespace novu {
namespace {

int32_t SaturatedAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

}  // namespace

// --- TNovuImageData ---

render::TDIBX& TNovuImageData::Picture() const {
  return brightness_ != 0 && own_ != nullptr ? *own_ : *frame_->surface;
}

void TNovuImageData::SetBrightness(int32_t brightness) {
  if (brightness == brightness_) return;
  brightness_ = brightness;
  if (brightness_ == 0) return;
  Adjust();
}

void TNovuImageData::RestoreSurfaces() {
  if (brightness_ != 0) Adjust();
}

void TNovuImageData::Adjust() {
  const render::TDIBX& cached = *frame_->surface;
  if (own_ == nullptr) own_ = std::make_unique<render::TDIBX>();
  own_->SetSize(cached.Width(), cached.Height(), cached.BitCount());
  if (cached.BitCount() <= 8) own_->SetPalette(cached.GetPalette());
  const int32_t level =
      static_cast<int32_t>(std::min<int64_t>(std::abs(int64_t{brightness_}), 255));
  const uint32_t grey = static_cast<uint32_t>(own_->ColorToPixel(level | level << 8 | level << 16));
  const auto adjust = [&](const Rect& rect) {
    if (brightness_ > 0) {
      own_->AddRect(rect, grey);
    } else {
      own_->SubRect(rect, grey);
    }
  };
  // The key is adjusted like every pixel, so keyed pixels stay transparent.
  if (cached.KeyColor() >= 0) {
    own_->SetPixel(0, 0, static_cast<uint32_t>(cached.KeyColor()));
    adjust(Rect{0, 0, 1, 1});
    const int64_t key = own_->GetPixel(0, 0);
    own_->Draw(0, 0, {}, Rect{0, 0, cached.Width(), cached.Height()}, cached);
    own_->SetKeyColor(key);
  } else {
    own_->Draw(0, 0, {}, Rect{0, 0, cached.Width(), cached.Height()}, cached);
    own_->SetKeyColor(-1);
  }
  adjust(Rect{0, 0, own_->Width(), own_->Height()});
  own_->DrawRegions() = frame_->surface->DrawRegions();
}

// --- TNovuImageList ---

void TNovuImageList::Clear() {
  data_.clear();
  if (item_ != nullptr && cache_ != nullptr) cache_->Release(item_, user_);
  item_ = nullptr;
  user_ = nullptr;
  index_ = 0;
  remaining_ = 0;
}

void TNovuImageList::Load(const void* user, std::string_view name, bool masked) {
  Clear();
  if (cache_ == nullptr) return;
  item_ = cache_->Acquire(user, name, false, masked);
  user_ = user;
  for (int i = 0; i < item_->FrameCount(); ++i) {
    data_.push_back(std::make_unique<TNovuImageData>(*item_->Frame(i)));
  }
  index_ = 0;
  remaining_ = data_.empty() ? 0 : SaturatedAdd(data_.front()->delay(), 1);
}

TNovuImageData* TNovuImageList::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return data_[static_cast<size_t>(index)].get();
}

void TNovuImageList::SetIndex(int index) {
  if (data_.empty()) return;
  index_ = std::clamp(index, 0, Count() - 1);
  remaining_ = SaturatedAdd(Item(index_)->delay(), 1);
}

bool TNovuImageList::Advance(int32_t elapsed_ms) {
  if (Count() <= 1) return false;
  remaining_ = SaturatedAdd(remaining_, -std::max(elapsed_ms, 0));
  if (remaining_ >= 1) return false;
  const int old = index_;
  do {
    index_ = (index_ + 1) % Count();
    if (index_ == 0) {
      remaining_ = 0;
      remaining_ = SaturatedAdd(remaining_, Item(0)->delay());
      break;
    }
    remaining_ = SaturatedAdd(remaining_, Item(index_)->delay());
  } while (remaining_ < 1);
  return index_ != old;
}

void TNovuImageList::ReleaseSurfaces() {
  for (auto& d : data_) d->ReleaseSurfaces();
}

void TNovuImageList::RestoreSurfaces() {
  for (auto& d : data_) d->RestoreSurfaces();
}

}  // namespace novu

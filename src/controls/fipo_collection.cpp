#include "controls/fipo_collection.h"

#include <algorithm>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "imagefmt/fipo_frame_list.h"
#include "platform/error.h"
#include "render/image_codecs.h"

namespace novu {
namespace {

constexpr std::string_view kMaskedSuffix = "?m";
constexpr std::string_view kTrimmedSuffix = "?t";
constexpr int kPlaceholderSide = 8;

struct KeyParts {
  std::string_view name;
  bool masked = false;
  bool trimmed = false;
};

KeyParts SplitKey(std::string_view key) {
  KeyParts parts;
  if (key.ends_with(kTrimmedSuffix)) {
    parts.trimmed = true;
    key.remove_suffix(kTrimmedSuffix.size());
  }
  if (key.ends_with(kMaskedSuffix)) {
    parts.masked = true;
    key.remove_suffix(kMaskedSuffix.size());
  }
  parts.name = key;
  return parts;
}

bool IsPng(std::span<const uint8_t> data) {
  static constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G'};
  return data.size() >= sizeof kSignature &&
         std::equal(std::begin(kSignature), std::end(kSignature), data.begin());
}

// Layered images, and plain PNG pictures as a single frame.
void Decode(std::span<const uint8_t> data, imagefmt::TFipoFrameList& list) {
  if (!IsPng(data)) {
    list.LoadFromStream(data);
    return;
  }
  imagefmt::TFipoFrame& frame = list.AddFrame();
  frame.picture = render::DecodePng(data);
}

std::string FoldedKey(std::string_view key) {
  return cp932::ToUpper(key);
}

}  // namespace

TFipoItemFrame* TFipoItem::Frame(int index) {
  if (index < 0 || index >= FrameCount()) return nullptr;
  return &frames_[static_cast<size_t>(index)];
}

TFipoCollection::TFipoCollection(FileLoader loader, int32_t code, int depth)
    : loader_(std::move(loader)), code_(code), depth_(depth) {}

TFipoCollection::~TFipoCollection() = default;

std::string TFipoCollection::KeyOf(std::string_view name, bool trimmed, bool masked) {
  std::string key(name);
  if (masked) key += kMaskedSuffix;
  if (trimmed) key += kTrimmedSuffix;
  return key;
}

TFipoItem* TFipoCollection::Find(std::string_view key) const {
  const auto it = items_.find(FoldedKey(key));
  return it != items_.end() ? it->second.get() : nullptr;
}

TFipoItem* TFipoCollection::Acquire(const void* user, std::string_view name, bool trimmed,
                                    bool masked) {
  const std::string key = KeyOf(name, trimmed, masked);
  TFipoItem* item = Find(key);
  if (item == nullptr) {
    // Decoded before it joins the cache: a failure never leaves a half-built item behind.
    auto fresh = std::make_unique<TFipoItem>(key);
    Load(*fresh, false);
    item = fresh.get();
    items_.emplace(FoldedKey(key), std::move(fresh));
  }
  if (std::find(item->users_.begin(), item->users_.end(), user) == item->users_.end()) {
    item->users_.push_back(user);
  }
  return item;
}

void TFipoCollection::Release(TFipoItem* item, const void* user) {
  if (item == nullptr) return;
  std::erase(item->users_, user);
  if (!item->users_.empty()) return;
  items_.erase(FoldedKey(item->key()));
}

void TFipoCollection::SetDither(bool dither) {
  if (dither == dither_) return;
  dither_ = dither;
  Reload(false);
}

void TFipoCollection::Reload(bool recreate) {
  for (auto& [key, item] : items_) {
    if (recreate) {
      for (TFipoItemFrame& frame : item->frames_) frame.surface->SetBitCount(depth_);
    }
    Load(*item, true);
  }
}

void TFipoCollection::LoadPlaceholder(TFipoItem& item, bool masked) {
  item.placeholder_ = true;
  item.width_ = item.height_ = kPlaceholderSide;
  item.total_time_ = 1;
  if (item.frames_.empty()) item.frames_.emplace_back();
  // Frames beyond the first stay as they were: controls may still point at them.
  TFipoItemFrame& frame = item.frames_.front();
  if (frame.surface == nullptr) frame.surface = std::make_unique<render::TDIBX>();
  frame.surface->SetSize(kPlaceholderSide, kPlaceholderSide, depth_);
  frame.surface->Clear(0);
  frame.surface->SetKeyColor(0);
  frame.surface->DrawRegions().clear();
  frame.key_colour = 0;
  frame.delay = 1;
  frame.offset_x = frame.offset_y = 0;
  frame.alpha_layer = false;
  if (masked || frame.mask != nullptr) {
    if (frame.mask == nullptr) frame.mask = std::make_unique<render::TDIBX>();
    frame.mask->SetSize(kPlaceholderSide, kPlaceholderSide, 8);
    frame.mask->Clear(0);
  }
}

// On a reload the frames keep their surface objects, so the views controls hold stay valid; a
// file that changed its frame count refreshes only the frames both versions have.
void TFipoCollection::Load(TFipoItem& item, bool refresh_only) {
  const KeyParts parts = SplitKey(item.key());
  imagefmt::TFipoFrameList list(code_);
  if (loader_) {
    try {
      if (const auto data = loader_(parts.name)) Decode(*data, list);
    } catch (const NovuError& e) {
      list.Clear();  // unreadable or undecodable: the placeholder below
      if (warn_ && warned_.insert(cp932::ToUpper(parts.name)).second) {
        warn_(std::string(parts.name) + ": " + e.message());
      }
    }
  }
  if (list.Count() == 0) {
    LoadPlaceholder(item, parts.masked);
    return;
  }
  item.placeholder_ = false;
  item.width_ = list.Frames(0).Width();
  item.height_ = list.Frames(0).Height();
  item.total_time_ = 0;
  const int count = refresh_only && !item.frames_.empty()
                        ? std::min(list.Count(), item.FrameCount())
                        : list.Count();
  if (!refresh_only || item.frames_.empty()) item.frames_.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    imagefmt::TFipoFrame& source = list.Frames(i);
    TFipoItemFrame& frame = item.frames_[static_cast<size_t>(i)];
    frame.alpha_layer = source.HasMask();
    if (parts.masked) source.MakeMask();
    frame.offset_x = frame.offset_y = 0;
    if (parts.trimmed) {
      if (const auto box = source.Trim()) {
        frame.offset_x = box->left;
        frame.offset_y = box->top;
      }
    }
    if (frame.surface == nullptr) {
      frame.surface = std::make_unique<render::TDIBX>();
      frame.surface->SetSize(1, 1, depth_);
    }
    source.CopyTo(*frame.surface);
    frame.key_colour = source.key_colour;
    frame.surface->SetKeyColor(source.key_colour >= 0
                                   ? int64_t{frame.surface->ColorToPixel(source.key_colour)}
                                   : int64_t{-1});
    // A mask a control may hold stays an object (all 255 when the frame lost its own).
    if (source.HasMask() || frame.mask != nullptr) {
      if (frame.mask == nullptr) frame.mask = std::make_unique<render::TDIBX>();
      source.CopyMaskTo(frame.mask->Surface());
    }
    frame.delay = std::max(source.duration, 1);
    item.total_time_ += frame.delay;
  }
}

void TFipoCollection::SaveFlag(BinaryWriter& out) const {
  out.U8(dither_ ? 1 : 0);
}

void TFipoCollection::LoadFlag(BinaryReader& in, int32_t version) {
  if (version > 100) SetDither(in.U8() != 0);
}

}  // namespace novu

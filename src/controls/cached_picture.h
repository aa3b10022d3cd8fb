#pragma once
// CachedPicture: one still picture a control holds from the image cache (the first frame of a
// file), for controls that lay the picture down in pieces of their own: slider bars, thumbs and
// buttons, gauge bars. The picture is held under this object's own identity, so one control may
// hold the same file several times.
#include <cstdint>
#include <string_view>

#include "render/dibx.h"

namespace novu {

class TFipoCollection;
class TFipoItem;

class CachedPicture {
 public:
  explicit CachedPicture(TFipoCollection* cache) : cache_(cache) {}
  ~CachedPicture() { Clear(); }
  CachedPicture(const CachedPicture&) = delete;
  CachedPicture& operator=(const CachedPicture&) = delete;

  // An empty name holds nothing.
  void Load(std::string_view name);
  void Clear();

  // Null while nothing is held.
  const render::TDIBX* surface() const;
  // The frame's mask when the file gave it one.
  const render::TDIBX* mask() const;
  int32_t width() const;
  int32_t height() const;

 private:
  TFipoCollection* cache_;
  TFipoItem* item_ = nullptr;
};

}  // namespace novu

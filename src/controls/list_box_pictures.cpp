#include "controls/list_box_pictures.h"

#include <algorithm>

#include "controls/fipo_collection.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

constexpr render::DrawOptions kKeyed{.use_key = true};

const TFipoItemFrame* FirstFrame(TFipoItem* item) {
  if (item == nullptr || item->placeholder()) return nullptr;
  const TFipoItemFrame* frame = item->Frame(0);
  return frame != nullptr && frame->surface != nullptr ? frame : nullptr;
}

}  // namespace

void TileListPicture(render::TCustomDIBX& target, const Rect& rect, int32_t phase_x,
                     int32_t phase_y, int32_t alpha, const render::TCustomDIBX& picture,
                     const render::TCustomDIBX* mask, const Rect& src) {
  if (alpha <= 0 || alpha >= 512 || rect.IsEmpty() || src.IsEmpty()) return;
  // The tiles take how far into its period the corner lies: the opposite of where it starts.
  const int32_t off_x = -Tame(phase_x);
  const int32_t off_y = -Tame(phase_y);
  if (alpha == 255) {
    if (mask != nullptr) {
      target.TileDrawMasked(rect, 0, off_y, off_x, *mask, {}, src, picture, 0);
    } else {
      target.TileDraw(rect, 0, off_y, off_x, kKeyed, src, picture, 0);
    }
  } else if (alpha > 255) {
    if (mask != nullptr) {
      target.TileDrawAddMasked(rect, 0, off_y, off_x, alpha - 256, *mask, {}, src, picture, 0);
    } else {
      target.TileDrawAdd(rect, 0, off_y, off_x, alpha - 256, kKeyed, src, picture, 0);
    }
  } else if (mask != nullptr) {
    target.TileDrawAlphaMasked(rect, 0, off_y, off_x, alpha, *mask, {}, src, picture, 0);
  } else {
    target.TileDrawAlpha(rect, 0, off_y, off_x, alpha, kKeyed, src, picture, 0);
  }
}

int32_t AlignedTilePhase(int32_t alignment, int32_t cell, int32_t picture) {
  if (picture <= 0 || (alignment != 1 && alignment != 2)) return 0;
  const bool narrower = picture < cell;
  if (alignment == 1) return narrower ? -((cell % picture) / 2) : (cell - picture) / 2;
  return narrower ? -(cell % picture) : cell - picture;
}

// --- ListCellPicture ---

void ListCellPicture::Release() {
  if (item_ != nullptr && cache_ != nullptr) cache_->Release(item_, this);
  item_ = nullptr;
}

void ListCellPicture::Load(std::string_view name) {
  Release();
  name_ = name;
  if (cache_ == nullptr || name_.empty()) return;
  item_ = cache_->Acquire(this, name_, false, false);
}

int32_t ListCellPicture::CellWidth() const {
  const TFipoItemFrame* frame = FirstFrame(item_);
  return frame != nullptr && cells_ > 0 ? frame->surface->Width() / cells_ : 0;
}

int32_t ListCellPicture::CellHeight() const {
  const TFipoItemFrame* frame = FirstFrame(item_);
  return frame != nullptr ? frame->surface->Height() : 0;
}

void ListCellPicture::Tile(render::TCustomDIBX& target, const Rect& rect, int32_t cell,
                           int32_t phase_y, int32_t alpha) const {
  const int32_t w = CellWidth();
  const int32_t h = CellHeight();
  if (w <= 0 || h <= 0 || cell < 0 || cell >= cells_) return;
  const TFipoItemFrame& frame = *FirstFrame(item_);
  TileListPicture(target, rect, 0, phase_y, alpha, *frame.surface, frame.mask.get(),
                  MakeRect(cell * w, 0, w, h));
}

void ListCellPicture::Draw(render::TCustomDIBX& target, int32_t x, int32_t y, int32_t cell,
                           int32_t alpha) const {
  Tile(target, MakeRect(x, y, CellWidth(), CellHeight()), cell, 0, alpha);
}

// --- ListFramePictures ---

ListFramePictures::ListFramePictures(TFipoCollection* cache) {
  for (Cell& c : cells_) c.list = std::make_unique<TNovuImageList>(cache);
}

void ListFramePictures::Load(int index, std::string_view name) {
  Cell& c = cell(index);
  c.name = name;
  if (name.empty()) {
    c.list->Clear();
  } else {
    c.list->Load(c.list.get(), name, false);
  }
}

int32_t ListFramePictures::Width(int index) const {
  const TFipoItem* item = cell(index).list->item();
  return item != nullptr && !item->placeholder() ? std::max(item->width(), 0) : 0;
}

int32_t ListFramePictures::Height(int index) const {
  const TFipoItem* item = cell(index).list->item();
  return item != nullptr && !item->placeholder() ? std::max(item->height(), 0) : 0;
}

FrameSizes ListFramePictures::Sizes() const {
  FrameSizes s;
  s.left = std::max({Width(0), Width(3), Width(6)});
  s.right = std::max({Width(2), Width(5), Width(8)});
  s.top = std::max({Height(0), Height(1), Height(2)});
  s.bottom = std::max({Height(6), Height(7), Height(8)});
  return s;
}

bool ListFramePictures::Advance(int32_t elapsed_ms) {
  bool changed = false;
  for (Cell& c : cells_) changed = c.list->Advance(elapsed_ms) || changed;
  return changed;
}

void ListFramePictures::Paint(render::TCustomDIBX& target, const Rect& inner, int32_t centre_cut,
                              int32_t alpha) const {
  const FrameSizes s = Sizes();
  for (int index = 0; index < kFrameCells; ++index) {
    const int row = index / 3;
    const int column = index % 3;
    Rect r;
    if (column == 0) {
      r.left = inner.left;
      r.right = inner.left + Width(index);
    } else if (column == 1) {
      r.left = inner.left + s.left;
      r.right = inner.right - s.right - centre_cut;
    } else {
      r.left = inner.right - s.right;
      r.right = r.left + Width(index);
    }
    if (row == 0) {
      r.top = inner.top;
      r.bottom = inner.top + Height(index);
    } else if (row == 1) {
      r.top = inner.top + s.top;
      r.bottom = inner.bottom - s.bottom;
    } else if (inner.Height() >= s.top) {
      r.top = inner.bottom - s.bottom;
      r.bottom = r.top + Height(index);
    }
    r.top = std::max(r.top, inner.top);
    r.bottom = std::min(r.bottom, inner.bottom);
    PaintCell(target, index, r, alpha);
  }
}

void ListFramePictures::PaintCell(render::TCustomDIBX& target, int index, const Rect& rect,
                                  int32_t alpha) const {
  if (rect.IsEmpty()) return;
  const Cell& c = cell(index);
  const TNovuImageData* data = c.list->Item(c.list->index());
  if (data == nullptr || Width(index) <= 0 || Height(index) <= 0) return;
  const render::TDIBX& picture = data->Picture();
  const int32_t phase_x =
      index % 3 == 1 ? AlignedTilePhase(c.h_align, rect.Width(), picture.Width()) : 0;
  const int32_t phase_y =
      index / 3 == 1 ? AlignedTilePhase(c.v_align, rect.Height(), picture.Height()) : 0;
  TileListPicture(target, rect, phase_x, phase_y, alpha, picture, data->Mask(),
                  Rect{0, 0, picture.Width(), picture.Height()});
}

}  // namespace novu

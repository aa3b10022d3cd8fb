#include "controls/novu_map_image.h"

#include <algorithm>

#include "controls/fipo_collection.h"
#include "controls/picture_drawing.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "platform/error.h"
#include "platform/virtual_keys.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

constexpr int32_t kClosing = 100;
constexpr int32_t kClosed = 101;

InputRouter* RouterOf(ObjectList* list) {
  auto* base_list = dynamic_cast<TNovuBaseList*>(list);
  return base_list != nullptr ? &base_list->input() : nullptr;
}

}  // namespace

TNovuMapImage::TNovuMapImage(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env), base_(env.cache), hover_(env.cache) {}

TNovuMapImage::~TNovuMapImage() {
  if (InputRouter* router = RouterOf(owner())) router->RemoveRightClickClose(*this);
}

void TNovuMapImage::Create() {
  TNovuControl::Create();
  if (InputRouter* router = RouterOf(owner())) router->AddRightClickClose(*this, *this);
}

// --- pictures and regions ---

void TNovuMapImage::LoadList(TNovuImageList& list, std::vector<RegionMask>& masks,
                             std::string_view name) {
  Invalidate();
  masks.clear();
  list.Clear();
  if (!name.empty()) list.Load(&list, name, true);
  masks.resize(static_cast<size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i)
    list.Item(i)->SetBrightness(&list == &base_ ? brightness_ : 0);
}

void TNovuMapImage::SetSource(std::string_view name) {
  if (name == source_) return;
  source_ = name;
  LoadList(base_, base_masks_, name);
  const TNovuImageData* first = base_.Item(0);
  const int32_t w = first != nullptr ? first->Picture().Width() : 0;
  const int32_t h = first != nullptr ? first->Picture().Height() : 0;
  if (w != width()) SetWidth(w);
  if (h != height()) SetHeight(h);
  Invalidate();
}

void TNovuMapImage::SetHoverSource(std::string_view name) {
  if (name == hover_source_) return;
  hover_source_ = name;
  LoadList(hover_, hover_masks_, name);
  Invalidate();
}

void TNovuMapImage::SetMapSource(std::string_view name) {
  if (name == map_source_) return;
  map_source_ = name;
  Invalidate();
  ChangeRegion(-1);
  regions_ = RegionMap{};
  for (auto* masks : {&base_masks_, &hover_masks_}) {
    for (RegionMask& m : *masks) m.built_for = kNotBuilt;
  }
  if (name.empty() || env_.cache == nullptr) return;
  const std::optional<std::vector<uint8_t>> bytes = env_.cache->LoadFile(name);
  if (!bytes) return;
  try {
    regions_ = RegionMap::Read(*bytes);
  } catch (const NovuError&) {
    regions_ = RegionMap{};
  }
}

void TNovuMapImage::SetAlpha(int32_t alpha) {
  alpha_ = alpha;
  Invalidate();
}

void TNovuMapImage::SetBrightness(int32_t brightness) {
  if (brightness == brightness_) return;
  brightness_ = brightness;
  for (int i = 0; i < base_.Count(); ++i) base_.Item(i)->SetBrightness(brightness_);
  Invalidate();
}

// --- choosing a region ---

std::vector<std::string> TNovuMapImage::RegionArguments(int32_t index) const {
  return {regions_.regions()[static_cast<size_t>(index)].name, std::to_string(index)};
}

void TNovuMapImage::InvalidateRegion(int32_t index) {
  if (index < 0 || index >= regions_.size()) return;
  TNovuControl* base = GetBase();
  if (base == nullptr || !IsVisible()) return;
  const Rect box = regions_.regions()[static_cast<size_t>(index)].Box();
  const Rect on_screen = Intersect(Offset(Tame(box), ScreenX(), ScreenY()), GetBoundsRect());
  if (!on_screen.IsEmpty()) base->InvalidateRect(on_screen);
}

void TNovuMapImage::ChangeRegion(int32_t index) {
  if (index == current_) return;
  if (current_ >= 0) {
    PostEvent(on_map_out_, RegionArguments(current_), PR_ONMAPOUT);
    InvalidateRegion(current_);
  }
  current_ = index;
  hover_.SetIndex(0);
  InvalidateRegion(current_);
  if (current_ >= 0) PostEvent(on_map_in_, RegionArguments(current_), PR_ONMAPIN);
}

void TNovuMapImage::Select() {
  const MapRegion& region = regions_.regions()[static_cast<size_t>(current_)];
  if (env_.vars != nullptr) {
    env_.vars->SetSelStr(region.name);
    env_.vars->SetSelIndex(current_);
  }
  if (!finished_ && !IsEventQueued(PR_ONSELECT)) {
    PostEvent(on_select_, RegionArguments(current_), PR_ONSELECT);
  }
  if (auto_scrap_) {
    close_state_ = kClosing;
    finished_ = true;
  }
}

void TNovuMapImage::Cancel() {
  if (env_.vars != nullptr) {
    env_.vars->SetSelStr("");
    env_.vars->SetSelIndex(-1);
  }
  close_state_ = kClosing;
}

std::optional<Point> TNovuMapImage::PointerInControl() const {
  TNovuControl* base = GetBase();
  const BaseInputState* input = base != nullptr ? base->InputState() : nullptr;
  if (input == nullptr) return std::nullopt;
  return ScreenToClient({input->mouse_x, input->mouse_y});
}

// --- input ---

bool TNovuMapImage::CloseByRightClick() {
  if (finished_) return false;
  finished_ = true;
  Cancel();
  return true;
}

void TNovuMapImage::LButtonDown() {
  TNovuControl::LButtonDown();
  const bool takes_left = mouse_mode() == IM_NONE || mouse_mode() == IM_RCLICK;
  if (!takes_left || paused_ || finished_) return;
  if (const std::optional<Point> p = PointerInControl()) ChangeRegion(regions_.IndexAt(*p));
  if (current_ >= 0) Select();
}

void TNovuMapImage::MouseMove() {
  TNovuControl::MouseMove();
  if (finished_) return;
  if (const std::optional<Point> p = PointerInControl()) ChangeRegion(regions_.IndexAt(*p));
}

void TNovuMapImage::MouseOut() {
  TNovuControl::MouseOut();
  if (!finished_) ChangeRegion(-1);
}

void TNovuMapImage::KeyDown(std::span<const int32_t> keys) {
  TNovuControl::KeyDown(keys);
  if (finished_) return;
  for (const int32_t key : keys) {
    if ((key == platform::kVkReturn || key == platform::kVkSpace) && current_ >= 0) {
      Select();
      return;
    }
    if (key == platform::kVkEscape && rclick_scrap_) {
      Cancel();
      return;
    }
  }
}

void TNovuMapImage::KeyRepeat(std::span<const int32_t> keys) {
  TNovuControl::KeyRepeat(keys);
  const int32_t count = regions_.size();
  if (finished_ || count == 0) return;
  for (const int32_t key : keys) {
    if (key == platform::kVkUp || key == platform::kVkLeft) {
      ChangeRegion(current_ < 1 ? count - 1 : current_ - 1);
    } else if (key == platform::kVkDown || key == platform::kVkRight) {
      ChangeRegion(current_ < 0 || current_ >= count - 1 ? 0 : current_ + 1);
    }
  }
}

int32_t TNovuMapImage::Update() {
  const int32_t result = TNovuControl::Update();
  if (close_state_ == kClosing) {
    finished_ = true;
    close_state_ = kClosed;
    return result;
  }
  if (close_state_ == kClosed) return 1;
  if (PropAsBool(GetProperty(PR_ANIPAUSED))) return result;
  const int32_t elapsed = owner() != nullptr ? owner()->FrameDelta() : 0;
  if (base_.Advance(elapsed)) Invalidate();
  if (hover_.Advance(elapsed) && current_ >= 0) InvalidateRegion(current_);
  return result;
}

// --- painting ---

const render::TDIBX* TNovuMapImage::BaseMask() const {
  const size_t index = static_cast<size_t>(base_.index());
  return index < base_masks_.size() ? base_masks_[index].mask.get() : nullptr;
}

const render::TDIBX* TNovuMapImage::BuiltMask(TNovuImageList& list, std::vector<RegionMask>& masks,
                                              bool outside_region) {
  const size_t index = static_cast<size_t>(list.index());
  TNovuImageData* data = list.Item(list.index());
  if (data == nullptr || index >= masks.size()) return nullptr;
  RegionMask& entry = masks[index];
  const render::TDIBX& picture = data->Picture();
  if (entry.mask == nullptr) {
    entry.mask = std::make_unique<render::TDIBX>();
    entry.built_for = kNotBuilt;
  }
  render::TDIBX& mask = *entry.mask;
  if (mask.Width() != picture.Width() || mask.Height() != picture.Height()) {
    mask.SetSize(picture.Width(), picture.Height(), 8);
    entry.built_for = kNotBuilt;
  }
  if (entry.built_for == current_) return &mask;
  mask.Clear(0);
  regions_.Paint(mask, current_, 0, 0, 255);
  // Combined with the frame's own mask, row by row; a frame without one shows everywhere.
  const render::TDIBX* frame_mask = data->Mask();
  const bool frame_fits = frame_mask != nullptr && frame_mask->StorageBitCount() == 8 &&
                          frame_mask->Width() >= mask.Width() &&
                          frame_mask->Height() >= mask.Height();
  for (int y = 0; y < mask.Height(); ++y) {
    uint8_t* row = mask.ScanPointer(0, y);
    const uint8_t* own = frame_fits ? frame_mask->ScanPointer(0, y) : nullptr;
    if (row == nullptr) break;
    for (int x = 0; x < mask.Width(); ++x) {
      const uint8_t region = outside_region ? static_cast<uint8_t>(255 - row[x]) : row[x];
      row[x] = own != nullptr ? static_cast<uint8_t>(region & own[x]) : region;
    }
  }
  entry.built_for = current_;
  return &mask;
}

void TNovuMapImage::DrawFrame(render::TCustomDIBX& surface, const render::TCustomDIBX& picture,
                              const render::TCustomDIBX& mask) const {
  if (!AlphaCodeDraws(alpha_) || width() < 1 || height() < 1) return;
  const Rect src{0, 0, picture.Width(), picture.Height()};
  if (width() == picture.Width() && height() == picture.Height()) {
    DrawPictureCell(surface, ScreenX(), ScreenY(), picture, &mask, src, alpha_);
  } else if (alpha_ <= 255) {
    surface.StretchDrawMasked(GetBoundsRect(), picture, alpha_, mask, {}, src);
  } else {
    surface.StretchDrawAddMasked(GetBoundsRect(), picture, alpha_ - 256, mask, {}, src);
  }
}

void TNovuMapImage::DrawSelf(render::TCustomDIBX& surface) {
  if (TNovuImageData* data = base_.Item(base_.index())) {
    if (const render::TDIBX* mask = BuiltMask(base_, base_masks_, true)) {
      DrawFrame(surface, data->Picture(), *mask);
    }
  }
  if (current_ < 0) return;
  if (TNovuImageData* data = hover_.Item(hover_.index())) {
    if (const render::TDIBX* mask = BuiltMask(hover_, hover_masks_, false)) {
      DrawFrame(surface, data->Picture(), *mask);
    }
  }
}

// --- saved state ---

void TNovuMapImage::SyncName(TNovuMapImage& m, std::string TNovuMapImage::*name, Serializer& s) {
  std::string saved = m.*name;
  s.String(saved);
  if (s.loading()) m.*name = saved;
}

void TNovuMapImage::AfterLoad() {
  // The names were read into the fields; the pictures and the map are loaded from them now.
  std::string source = std::exchange(source_, {});
  std::string hover = std::exchange(hover_source_, {});
  std::string map = std::exchange(map_source_, {});
  const int32_t width_kept = width();
  const int32_t height_kept = height();
  SetSource(source);
  SetHoverSource(hover);
  SetMapSource(map);
  SetBounds(left(), top(), width_kept, height_kept);
  current_ = -1;
  finished_ = close_state_ >= kClosing;
}

const PropertyTable& TNovuMapImage::Table() {
  using R = PropertyRows<TNovuMapImage>;
  using M = TNovuMapImage;
  const auto name = [](std::string M::*field) {
    return [field](M& m, Serializer& s) { SyncName(m, field, s); };
  };
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_SOURCE, &M::source_).Set(&M::SetSource).Save(name(&M::source_)),
          R::Field(PR_HOVERSOURCE, &M::hover_source_)
              .Set(&M::SetHoverSource)
              .Save(name(&M::hover_source_)),
          R::Field(PR_MAPSOURCE, &M::map_source_).Set(&M::SetMapSource).Save(name(&M::map_source_)),
          R::Field(PR_ALPHA, &M::alpha_).Set(&M::SetAlpha),
          R::Field(PR_BRIGHTNESS, &M::brightness_).Set(&M::SetBrightness),
          R::Field(PR_ONMAPIN, &M::on_map_in_),
          R::Field(PR_ONMAPOUT, &M::on_map_out_),
          R::Field(PR_AUTOSCRAP, &M::auto_scrap_),
          R::Field(PR_RCLICKSCRAP, &M::rclick_scrap_),
          R::Field(PR_ONIDLE, &M::on_idle_).Since(104),
          R::Field(PR_PAUSED, &M::paused_).Since(104),
          R::Field(PR_ONSELECT, &M::on_select_).Since(104),
          R::SavedField(&M::close_state_).Since(115),
          R::Answer(PR_REPEAT, [](const M&) { return true; }),
      });
  return table;
}

}  // namespace novu

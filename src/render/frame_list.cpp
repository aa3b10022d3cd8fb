#include "render/frame_list.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/custom_dibx.h"
#include "render/frame_interpolation.h"

namespace novu::render {
namespace {

constexpr double kFrameMs = 1000.0 / 60.0;

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t Add(int32_t a, int32_t b) {
  return Clamp32(int64_t{a} + b);
}

Point Shifted(Point p, Point by) {
  return {Add(p.x, by.x), Add(p.y, by.y)};
}

template <typename T>
const T* SameFamily(const TCustomFrameList* list) {
  return dynamic_cast<const T*>(list);
}

}  // namespace

// --- cells ---

TImageFrame::TImageFrame(TCustomDIBX* surface, TCustomDIBX* mask, int32_t key_colour, Point trim,
                         int32_t delay_ms)
    : surface_(surface), mask_(mask), key_colour_(key_colour), trim_(trim) {
  const double frames = std::nearbyint(static_cast<double>(delay_ms) / kFrameMs);
  duration_ = frames >= 1.0 ? Clamp32(static_cast<int64_t>(frames)) : 1;
}

int32_t TImageFrame::Width() const {
  return surface_ != nullptr ? surface_->Width() : 0;
}
int32_t TImageFrame::Height() const {
  return surface_ != nullptr ? surface_->Height() : 0;
}

// --- ramps ---

void ClipRamp::Visit(FrameListFields& f) {
  f.Pt("clip_pos_start", pos_start);
  f.Pt("clip_size_start", size_start);
  f.Pt("clip_pos_end", pos_end);
  f.Pt("clip_size_end", size_end);
  f.U8("clip_pos_mode", pos_mode);
  f.U8("clip_size_mode", size_mode);
}

std::optional<Rect> ClipRamp::At(int64_t k, int64_t n) const {
  const int32_t w = InterpolateInt(size_mode, size_start.x, size_end.x, k, n);
  const int32_t h = InterpolateInt(size_mode, size_start.y, size_end.y, k, n);
  if (w < 1 || h < 1) return std::nullopt;
  const int32_t x = InterpolateInt(pos_mode, pos_start.x, pos_end.x, k, n);
  const int32_t y = InterpolateInt(pos_mode, pos_start.y, pos_end.y, k, n);
  return Rect{x, y, Add(x, w), Add(y, h)};
}

Rect RectRamp::At(int64_t k, int64_t n, Point shift) const {
  const Point s = Shifted(pos_start, shift);
  const Point e = Shifted(pos_end, shift);
  const int32_t left = InterpolateInt(mode_x, s.x, e.x, k, n);
  const int32_t top = InterpolateInt(mode_y, s.y, e.y, k, n);
  const int32_t right = InterpolateInt(mode_x, Clamp32(int64_t{s.x} + width_start - 1),
                                       Clamp32(int64_t{e.x} + width_end - 1), k, n);
  const int32_t bottom = InterpolateInt(mode_y, Clamp32(int64_t{s.y} + height_start - 1),
                                        Clamp32(int64_t{e.y} + height_end - 1), k, n);
  return {left, top, Add(right, 1), Add(bottom, 1)};
}

// --- the common part ---

std::unique_ptr<TCustomFrameList> TCustomFrameList::Create(uint8_t kind_byte) {
  switch (kind_byte & 0x7F) {
    case kImageList:
      return std::make_unique<TImageFrameList>();
    case kLabelList:
      return std::make_unique<TLabelFrameList>();
    case kBoxList:
      return std::make_unique<TBoxFrameList>();
    case kTransitionList:
      return std::make_unique<TWipeFrameList>();
    case kSoundList:
      return std::make_unique<TSoundFrameList>();
    case kTileList:
      return std::make_unique<TTileFrameList>();
    case kParticleList:
      return std::make_unique<TParticleFrameList>();
    case kFireList:
      return std::make_unique<TFireFrameList>();
    default:
      return nullptr;
  }
}

void TCustomFrameList::VisitRecord(FrameListFields& f) {
  version_ = f.version();
  f.I32("parent", parent_index_);
  f.I32("length", length_);
  f.I32("reserved", reserved_);
  f.I32("start", start_);
  f.I32("period", period_);
  f.I32("layer", layer_);
  f.U8("mirror_h", mirror_h_);
  f.U8("mirror_v", mirror_v_);
  f.U8("other_base", other_base_);
  VisitKindFields(f);
  FillMissing(version_);
}

int32_t TCustomFrameList::Scaled(int32_t stored) const {
  return version_ <= 106 ? Clamp32(int64_t{stored} * 2) : stored;
}

void TCustomFrameList::SetParent(TCustomFrameList* parent) {
  parent_ = parent;
  if (parent != nullptr) parent->has_child_ = true;
}

const TCustomFrameList& TCustomFrameList::FirstAncestor() const {
  const TCustomFrameList* list = this;
  while (list->parent_ != nullptr) list = list->parent_;
  return *list;
}

void TCustomFrameList::ComputeAbsoluteStart() {
  // Walk up to the first track, then add the lengths on the way down (no recursion).
  std::vector<const TCustomFrameList*> chain;
  for (const TCustomFrameList* list = parent_; list != nullptr; list = list->parent_) {
    chain.push_back(list);
  }
  if (chain.empty()) {
    absolute_start_ = Start();
    return;
  }
  int64_t start = chain.back()->Start();
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) start += (*it)->Length();
  absolute_start_ = Clamp32(start);
}

int32_t TCustomFrameList::CellAt(int64_t offset) const {
  if (cells_.empty()) return -1;
  const int64_t period = std::max<int64_t>(1, Period());
  int64_t rest = offset % period;
  if (rest < 0) rest += period;
  for (size_t i = 0; i < cells_.size(); ++i) {
    rest -= cells_[i]->Duration();
    if (rest < 0) return static_cast<int32_t>(i);
  }
  return static_cast<int32_t>(cells_.size() - 1);
}

// --- images, tiles, labels ---

void TCustomImageFrameList::VisitGeometry(FrameListFields& f) {
  f.Pt("hot_spot", hot_spot);
  f.Pt("pos_start", pos_start);
  f.Pt("pos_end", pos_end);
  f.U8("mode_x", mode_x);
  f.U8("mode_y", mode_y);
  f.I32("angle_start", angle_start);
  f.I32("angle_end", angle_end);
  f.F64("scale_x_start", scale_x_start);
  f.F64("scale_x_end", scale_x_end);
  f.U8("scale_x_mode", scale_x_mode);
  f.I32("alpha_start", alpha_start);
  f.I32("alpha_end", alpha_end);
  f.U8("angle_mode", angle_mode);
  if (f.version() >= 101) clip.Visit(f);
  if (f.version() >= 105) {
    f.F64("scale_y_start", scale_y_start);
    f.F64("scale_y_end", scale_y_end);
    f.U8("scale_y_mode", scale_y_mode);
  }
}

void TCustomImageFrameList::FillMissing(int version) {
  if (version < 105) {
    scale_y_start = scale_x_start;
    scale_y_end = scale_x_end;
    scale_y_mode = scale_x_mode;
  }
}

std::optional<ImagePlacement> TCustomImageFrameList::PlacementAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  const auto* p = SameFamily<TCustomImageFrameList>(parent());
  const int64_t k = StepAt(frame);
  const int64_t n = Steps();
  ImagePlacement out;
  out.cell = CellAt(k);
  const Point s = Shifted(p != nullptr ? p->pos_end : pos_start, shift());
  const Point e = Shifted(pos_end, shift());
  out.position = {InterpolateInt(mode_x, s.x, e.x, k, n), InterpolateInt(mode_y, s.y, e.y, k, n)};
  out.scale_x = InterpolateInt(scale_x_mode, ScaleTo256(p ? p->scale_x_end : scale_x_start),
                               ScaleTo256(scale_x_end), k, n);
  out.scale_y = InterpolateInt(scale_y_mode, ScaleTo256(p ? p->scale_y_end : scale_y_start),
                               ScaleTo256(scale_y_end), k, n);
  ClipRamp c = clip;
  if (p != nullptr) {
    c.pos_start = p->clip.pos_end;
    c.size_start = p->clip.size_end;
  }
  out.clip = c.At(k, n);
  const int32_t a0 = p != nullptr ? p->angle_end : angle_start;
  if (a0 != 0 || angle_end != 0) {
    out.angle = DegreesToTurns(InterpolateReal(angle_mode, a0, angle_end, k, n));
  }
  out.alpha = AlphaCodeAt(p != nullptr ? p->alpha_end : alpha_start, alpha_end, k, n);
  const Point trim = out.cell >= 0 ? cells()[out.cell]->Offset() : Point{};
  out.offset = {Clamp32(int64_t{hot_spot.x} - trim.x), Clamp32(int64_t{hot_spot.y} - trim.y)};
  return out;
}

void TImageFrameList::VisitKindFields(FrameListFields& f) {
  VisitGeometry(f);
  f.Str("image", image);
}

void TImageFrameList::CollectNames(std::vector<std::string>& names) const {
  if (!image.empty()) names.push_back(image);
}

void TTileFrameList::VisitKindFields(FrameListFields& f) {
  TImageFrameList::VisitKindFields(f);
  f.I32("width_start", width_start);
  f.I32("height_start", height_start);
  f.I32("width_end", width_end);
  f.I32("height_end", height_end);
  f.I32("scroll_x_start", scroll_x_start);
  f.I32("scroll_y_start", scroll_y_start);
  f.I32("scroll_x_end", scroll_x_end);
  f.I32("scroll_y_end", scroll_y_end);
  f.U8("scroll_x_mode", scroll_x_mode);
  f.U8("scroll_y_mode", scroll_y_mode);
  f.I32("spacing_x", spacing_x);
  f.I32("spacing_y", spacing_y);
  // Tiles store the clip block a second time; its values replace those read before.
  if (f.version() >= 101) clip.Visit(f);
}

std::optional<TTileFrameList::TileState> TTileFrameList::TileAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  const auto* p = SameFamily<TTileFrameList>(parent());
  const int64_t k = StepAt(frame);
  const int64_t n = Steps();
  RectRamp r{p != nullptr ? p->pos_end : pos_start,
             pos_end,
             mode_x,
             mode_y,
             p != nullptr ? p->width_end : width_start,
             p != nullptr ? p->height_end : height_start,
             width_end,
             height_end};
  TileState out;
  out.rect = r.At(k, n, shift());
  out.scroll_x =
      InterpolateInt(scroll_x_mode, p ? p->scroll_x_end : scroll_x_start, scroll_x_end, k, n);
  out.scroll_y =
      InterpolateInt(scroll_y_mode, p ? p->scroll_y_end : scroll_y_start, scroll_y_end, k, n);
  return out;
}

void TLabelFrameList::VisitKindFields(FrameListFields& f) {
  VisitGeometry(f);
  f.Str("text", text);
  f.U8("anti_alias", anti_alias);
  f.Str("font_name", font_name);
  f.I32("font_height", font_height);
  f.I32("line_space", line_space);
  f.U8("font_style", font_style);
  f.I32("colour", colour);
  if (f.version() >= 103) f.U8("halign", halign);
}

// --- rectangles ---

RectRamp TRectFrameList::ContinuedRect() const {
  RectRamp r = rect;
  if (const auto* p = SameFamily<TRectFrameList>(parent())) {
    r.pos_start = p->rect.pos_end;
    r.width_start = p->rect.width_end;
    r.height_start = p->rect.height_end;
  }
  return r;
}

ClipRamp TRectFrameList::ContinuedClip() const {
  ClipRamp c = clip;
  if (const auto* p = SameFamily<TRectFrameList>(parent())) {
    c.pos_start = p->clip.pos_end;
    c.size_start = p->clip.size_end;
  }
  return c;
}

std::optional<Rect> TRectFrameList::RectAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  return ContinuedRect().At(StepAt(frame), Steps(), shift());
}

std::optional<Rect> TRectFrameList::ClipAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  return ContinuedClip().At(StepAt(frame), Steps());
}

void TBoxFrameList::VisitKindFields(FrameListFields& f) {
  f.Pt("pos_start", rect.pos_start);
  f.Pt("pos_end", rect.pos_end);
  f.U8("mode_x", rect.mode_x);
  f.U8("mode_y", rect.mode_y);
  f.I32("alpha_start", alpha_start);
  f.I32("alpha_end", alpha_end);
  f.I32("width_start", rect.width_start);
  f.I32("height_start", rect.height_start);
  f.I32("width_end", rect.width_end);
  f.I32("height_end", rect.height_end);
  f.I32("fill_start", fill_start);
  f.I32("fill_end", fill_end);
  f.I32("border_start", border_start);
  f.I32("border_end", border_end);
  f.I32("border_colour_start", border_colour_start);
  f.I32("border_colour_end", border_colour_end);
  if (f.version() >= 101) clip.Visit(f);
}

std::optional<TBoxFrameList::BoxState> TBoxFrameList::BoxAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  const auto* p = SameFamily<TBoxFrameList>(parent());
  const int64_t k = StepAt(frame);
  const int64_t n = Steps();
  BoxState out;
  out.rect = ContinuedRect().At(k, n, shift());
  out.clip = ContinuedClip().At(k, n);
  out.alpha = AlphaCodeAt(p ? p->alpha_end : alpha_start, alpha_end, k, n);
  out.fill = InterpolateColour(p ? p->fill_end : fill_start, fill_end, k, n);
  out.border = InterpolateInt(kLinear, p ? p->border_end : border_start, border_end, k, n);
  out.border_colour =
      InterpolateColour(p ? p->border_colour_end : border_colour_start, border_colour_end, k, n);
  return out;
}

// --- transitions and sounds ---

void TWipeFrameList::VisitKindFields(FrameListFields& f) {
  f.U8("type", type);
  if (f.version() >= 101) {
    f.Str("rule", rule);
    f.I32("param0", param0);
    f.I32("param1", param1);
    f.U8("reverse", reverse);
  }
}

void TWipeFrameList::CollectNames(std::vector<std::string>& names) const {
  if (!rule.empty()) names.push_back(rule);
}

void TSoundFrameList::VisitKindFields(FrameListFields& f) {
  f.Str("sound", sound);
  f.I32("volume_start", volume_start);
  f.I32("volume_end", volume_end);
  f.I32("pan_start", pan_start);
  f.I32("pan_end", pan_end);
  f.U8("volume_mode", volume_mode);
  f.U8("pan_mode", pan_mode);
}

int32_t TSoundFrameList::Volume(int32_t stored) const {
  return version() <= 107 ? Clamp32(int64_t{stored} / 10 + 1000) : stored;
}

int32_t TSoundFrameList::VolumeAt(int32_t frame) const {
  const auto* p = SameFamily<TSoundFrameList>(parent());
  return InterpolateInt(volume_mode, p ? p->VolumeEnd() : VolumeStart(), VolumeEnd(), StepAt(frame),
                        Steps());
}

int32_t TSoundFrameList::PanAt(int32_t frame) const {
  const auto* p = SameFamily<TSoundFrameList>(parent());
  return InterpolateInt(pan_mode, p ? p->pan_end : pan_start, pan_end, StepAt(frame), Steps());
}

void TSoundFrameList::CollectNames(std::vector<std::string>& names) const {
  if (!sound.empty()) names.push_back(sound);
}

// --- particles and fire ---

void TParticleFrameList::VisitKindFields(FrameListFields& f) {
  f.Str("source", source);
  f.U8("motion", motion);
  f.I32("preroll", preroll);
  f.I32("centre_start", centre_start);
  f.I32("centre_end", centre_end);
  f.I32("spread_start", spread_start);
  f.I32("spread_end", spread_end);
  f.Pt("base_start", base_start);
  f.Pt("base_end", base_end);
  f.Pt("range_start", range_start);
  f.Pt("range_end", range_end);
  f.U8("base_mode_x", base_mode_x);
  f.U8("base_mode_y", base_mode_y);
  f.F64("p0_start", p_start[0]);
  f.F64("p1_start", p_start[1]);
  f.F64("p2_start", p_start[2]);
  f.F64("p0_end", p_end[0]);
  f.F64("p1_end", p_end[1]);
  f.F64("p2_end", p_end[2]);
  f.Pt("pos_start", rect.pos_start);
  f.Pt("pos_end", rect.pos_end);
  f.U8("mode_x", rect.mode_x);
  f.U8("mode_y", rect.mode_y);
  f.I32("width_start", rect.width_start);
  f.I32("height_start", rect.height_start);
  f.I32("width_end", rect.width_end);
  f.I32("height_end", rect.height_end);
  clip.Visit(f);
  f.I32("alpha_start", alpha_start);
  f.I32("alpha_end", alpha_end);
}

void TParticleFrameList::CollectNames(std::vector<std::string>& names) const {
  if (!source.empty()) names.push_back(source);
}

std::optional<TParticleFrameList::EmitterState> TParticleFrameList::EmitterAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  const auto* p = SameFamily<TParticleFrameList>(parent());
  const int64_t k = StepAt(frame);
  const int64_t n = Steps();
  EmitterState out;
  out.rect = ContinuedRect().At(k, n, shift());
  out.clip = ContinuedClip().At(k, n);
  out.alpha = AlphaCodeAt(p ? p->alpha_end : alpha_start, alpha_end, k, n);
  const int32_t c = InterpolateInt(kLinear, p ? p->centre_end : centre_start, centre_end, k, n);
  const int32_t w = InterpolateInt(kLinear, p ? p->spread_end : spread_start, spread_end, k, n);
  const Point b0 = p ? p->base_end : base_start;
  const Point r0 = p ? p->range_end : range_start;
  out.x_base = InterpolateInt(base_mode_x, b0.x, base_end.x, k, n);
  out.y_base = InterpolateInt(base_mode_y, b0.y, base_end.y, k, n);
  out.x_range = InterpolateInt(kLinear, r0.x, range_end.x, k, n);
  out.y_range = InterpolateInt(kLinear, r0.y, range_end.y, k, n);
  out.delay_base = Clamp32(int64_t{c} - w / 2);
  out.delay_range = w;
  for (int i = 0; i < 3; ++i) {
    out.p[i] = InterpolateReal(kLinear, p ? p->p_end[i] : p_start[i], p_end[i], k, n);
  }
  return out;
}

void TFireFrameList::VisitKindFields(FrameListFields& f) {
  f.Pt("pos_start", rect.pos_start);
  f.Pt("pos_end", rect.pos_end);
  f.U8("mode_x", rect.mode_x);
  f.U8("mode_y", rect.mode_y);
  f.I32("width_start", rect.width_start);
  f.I32("height_start", rect.height_start);
  f.I32("width_end", rect.width_end);
  f.I32("height_end", rect.height_end);
  clip.Visit(f);
  f.F64("zoom_x_start", zoom_x_start);
  f.F64("zoom_y_start", zoom_y_start);
  f.F64("zoom_x_end", zoom_x_end);
  f.F64("zoom_y_end", zoom_y_end);
  f.U8("zoom_x_mode", zoom_x_mode);
  f.U8("zoom_y_mode", zoom_y_mode);
  f.I32("power", power);
}

std::optional<TFireFrameList::FireState> TFireFrameList::FireAt(int32_t frame) const {
  if (!IsActive(frame)) return std::nullopt;
  const auto* p = SameFamily<TFireFrameList>(parent());
  const int64_t k = StepAt(frame);
  const int64_t n = Steps();
  FireState out;
  out.rect = ContinuedRect().At(k, n, shift());
  out.clip = ContinuedClip().At(k, n);
  out.zoom_x = InterpolateInt(zoom_x_mode, ScaleTo256(p ? p->zoom_x_end : zoom_x_start),
                              ScaleTo256(zoom_x_end), k, n);
  out.zoom_y = InterpolateInt(zoom_y_mode, ScaleTo256(p ? p->zoom_y_end : zoom_y_start),
                              ScaleTo256(zoom_y_end), k, n);
  return out;
}

}  // namespace novu::render

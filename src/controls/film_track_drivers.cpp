#include "controls/film_track_drivers.h"

#include <algorithm>
#include <cmath>

#include "controls/film_text_block.h"
#include "controls/image_list.h"
#include "controls/novu_custom_image.h"
#include "controls/novu_particle.h"
#include "objects/base_list.h"
#include "objects/novu_control.h"
#include "render/film_file.h"

namespace novu {
namespace {

using render::ImagePlacement;
using render::TCustomFrameList;
using render::TImageFrame;

constexpr double kFrameMs = 1000.0 / 60.0;
// Every control a film creates is internal: its name starts with 0x01.
constexpr std::string_view kFilmControlPrefix =
    "\x01"
    "FILM";

TNovuBaseList* ListOf(const FilmStage& stage) {
  if (stage.cinema != nullptr) return dynamic_cast<TNovuBaseList*>(stage.cinema->owner());
  if (stage.bases != nullptr) return stage.bases;
  return stage.target != nullptr ? dynamic_cast<TNovuBaseList*>(stage.target->owner()) : nullptr;
}

// A control (or component) a driver created, followed only while its list still has it.
class DrivenObject {
 public:
  TNovuObject* Get() const {
    return object_ != nullptr && list_ != nullptr && list_->IsRegistered(object_) ? object_
                                                                                  : nullptr;
  }
  TNovuControl* Control() const {
    TNovuObject* object = Get();
    return object != nullptr ? object->AsControl() : nullptr;
  }
  // Takes a new object: under the cinema control, on base `base`, or (components) in the list.
  TNovuObject* Place(std::unique_ptr<TNovuObject> object, FilmStage& stage, int base) {
    Release();
    list_ = ListOf(stage);
    if (object == nullptr || list_ == nullptr) return nullptr;
    object_ = object.get();
    if (object->AsControl() == nullptr) {
      list_->AdoptRoot(std::move(object));
    } else if (stage.cinema != nullptr) {
      stage.cinema->AddChild(std::move(object));
    } else {
      list_->base(base).AddChild(std::move(object));
    }
    object_->SetName(list_->UniqueName(kFilmControlPrefix));
    return object_;
  }
  void Release() {
    if (TNovuObject* object = Get()) list_->Free(*object);
    object_ = nullptr;
  }

 private:
  TNovuBaseList* list_ = nullptr;
  TNovuObject* object_ = nullptr;
};

void SetClip(TNovuControl& control, const std::optional<Rect>& clip) {
  if (clip) {
    control.SetClip(clip->left, clip->top, clip->Width(), clip->Height());
  } else if (control.HasClip()) {
    control.SetClip(0, 0, 0, 0);
  }
}

// Puts a driven control where the film wants it: its own position in cinema use, the motion
// displacement of the moved control in motion use.
void Place(TNovuControl& control, const FilmStage& stage, Point position) {
  if (stage.motion()) {
    control.SetMotionDisplacement(position.x, position.y);
  } else {
    if (control.left() != position.x) control.SetLeft(position.x);
    if (control.top() != position.y) control.SetTop(position.y);
  }
}

void SetLayer(TNovuObject& object, const FilmStage& stage, int32_t layer) {
  const int64_t priority = stage.motion() ? int64_t{stage.target_priority} + layer : layer;
  const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(priority, INT32_MIN, INT32_MAX));
  if (object.priority() != clamped) object.SetPriority(clamped);
}

void SetInt(TNovuObject& object, PropId id, int32_t value) {
  if (PropAsInt(object.GetProperty(id)) != value) object.SetProperty(id, value);
}

void SetFlag(TNovuObject& object, PropId id, bool value) {
  if (PropAsBool(object.GetProperty(id)) != value) object.SetProperty(id, value);
}

int32_t Scaled(int32_t extent, int32_t scale) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{extent} * scale / 256, 0, INT32_MAX));
}

// --- images and tiles ---

// Opens the picture a track names and gives the track one cell per frame.
class PictureCells {
 public:
  explicit PictureCells(TFipoCollection* cache) : images_(cache) {}
  void Load(TCustomFrameList& list, const FilmStage& stage, const std::string& stored) {
    list.SetCells({});
    images_.Clear();
    if (stored.empty() || stage.env.cache == nullptr) return;
    images_.Load(this, render::ResolveFilmName(stage.folder, stored), false);
    for (int i = 0; i < images_.Count(); ++i) {
      TNovuImageData* data = images_.Item(i);
      render::TDIBX& picture = data->Picture();
      list.AddCell(std::make_unique<TImageFrame>(&picture, data->Mask(), picture.KeyColor(),
                                                 Point{data->offset_x(), data->offset_y()},
                                                 data->delay()));
    }
  }

 private:
  TNovuImageList images_;
};

const TImageFrame* CellOf(const TCustomFrameList& list, int32_t cell) {
  if (cell < 0 || cell >= static_cast<int32_t>(list.cells().size())) return nullptr;
  return dynamic_cast<const TImageFrame*>(list.cells()[cell].get());
}

// The values image, tile and label tracks share, into a picture control.
void ApplyPicture(TNovuCustomImage& image, const TCustomFrameList& list, const ImagePlacement& at,
                  const FilmStage& stage) {
  SetLayer(image, stage, list.layer());
  image.SetFlipH(list.mirror_h());
  image.SetFlipV(list.mirror_v());
  if (image.offset_x() != at.offset.x) image.SetOffsetX(at.offset.x);
  if (image.offset_y() != at.offset.y) image.SetOffsetY(at.offset.y);
  Place(image, stage, at.position);
  SetInt(image, PR_ZOOMX, at.scale_x);
  SetInt(image, PR_ZOOMY, at.scale_y);
  if (image.angle() != at.angle) image.SetAngle(at.angle);
  if (image.alpha() != at.alpha) image.SetAlpha(at.alpha);
  SetClip(image, at.clip);
}

class ImageDriver final : public FilmTrackDriver {
 public:
  ImageDriver(render::TImageFrameList& list, FilmStage& stage)
      : list_(list), stage_(stage), cells_(stage.env.cache) {}
  ~ImageDriver() override { Release(); }

  void Reload() override { cells_.Load(list_, stage_, list_.image); }
  void Release() override { control_.Release(); }

  void Apply(int32_t frame, int base) override {
    const std::optional<ImagePlacement> at = list_.PlacementAt(frame);
    if (!at) {
      if (!stage_.motion()) Release();
      return;
    }
    const TImageFrame* cell = CellOf(list_, at->cell);
    if (cell == nullptr) return;
    TNovuCustomImage* image = Image(base);
    if (image == nullptr) return;
    image->SetShown(cell->surface(), cell->mask());
    ApplyPicture(*image, list_, *at, stage_);
    if (stage_.motion()) {
      if (image->width() != Scaled(cell->Width(), at->scale_x)) {
        image->SetWidth(Scaled(cell->Width(), at->scale_x));
      }
      if (image->height() != Scaled(cell->Height(), at->scale_y)) {
        image->SetHeight(Scaled(cell->Height(), at->scale_y));
      }
    } else {
      image->MarkSizeDirty();
    }
  }

 private:
  TNovuCustomImage* Image(int base) {
    if (stage_.motion()) return dynamic_cast<TNovuCustomImage*>(stage_.target);
    if (auto* image = dynamic_cast<TNovuCustomImage*>(control_.Control())) return image;
    TNovuBaseList* list = ListOf(stage_);
    if (list == nullptr) return nullptr;
    return dynamic_cast<TNovuCustomImage*>(
        control_.Place(MakeObject<TNovuImage>(list, stage_.env), stage_, base));
  }

  render::TImageFrameList& list_;
  FilmStage& stage_;
  PictureCells cells_;
  DrivenObject control_;
};

class TileDriver final : public FilmTrackDriver {
 public:
  TileDriver(render::TTileFrameList& list, FilmStage& stage)
      : list_(list), stage_(stage), cells_(stage.env.cache) {}
  ~TileDriver() override { Release(); }

  void Reload() override { cells_.Load(list_, stage_, list_.image); }
  void Release() override { control_.Release(); }

  void Apply(int32_t frame, int base) override {
    const std::optional<ImagePlacement> at = list_.PlacementAt(frame);
    const auto tile_at = list_.TileAt(frame);
    if (!at || !tile_at) {
      if (!stage_.motion()) Release();
      return;
    }
    const TImageFrame* cell = CellOf(list_, at->cell);
    if (cell == nullptr) return;
    TNovuCustomImage* tile = Tile(base);
    if (tile == nullptr) return;
    tile->SetShown(cell->surface(), cell->mask());
    SetInt(*tile, PR_DISTANCEX, list_.spacing_x);
    SetInt(*tile, PR_DISTANCEY, list_.spacing_y);
    ImagePlacement placed = *at;
    placed.position = {tile_at->rect.left, tile_at->rect.top};
    ApplyPicture(*tile, list_, placed, stage_);
    if (tile->width() != tile_at->rect.Width()) tile->SetWidth(tile_at->rect.Width());
    if (tile->height() != tile_at->rect.Height()) tile->SetHeight(tile_at->rect.Height());
    SetInt(*tile, PR_SCROLLX, tile_at->scroll_x);
    SetInt(*tile, PR_SCROLLY, tile_at->scroll_y);
  }

 private:
  TNovuCustomImage* Tile(int base) {
    if (stage_.motion()) return dynamic_cast<TNovuCustomImage*>(stage_.target);
    if (auto* tile = dynamic_cast<TNovuCustomImage*>(control_.Control())) return tile;
    TNovuBaseList* list = ListOf(stage_);
    if (list == nullptr) return nullptr;
    return dynamic_cast<TNovuCustomImage*>(
        control_.Place(list->CreateByType(LT_TILE), stage_, base));
  }

  render::TTileFrameList& list_;
  FilmStage& stage_;
  PictureCells cells_;
  DrivenObject control_;
};

// --- labels ---

class LabelDriver final : public FilmTrackDriver {
 public:
  LabelDriver(render::TLabelFrameList& list, FilmStage& stage) : list_(list), stage_(stage) {}
  ~LabelDriver() override { Release(); }
  void Release() override { control_.Release(); }

  void Apply(int32_t frame, int base) override {
    const std::optional<ImagePlacement> at = list_.PlacementAt(frame);
    if (!at) {
      if (!stage_.motion()) Release();
      return;
    }
    TNovuControl* label = Label(base);
    if (label == nullptr) return;
    label->SetProperty(PR_FONTNAME, list_.font_name);
    SetInt(*label, PR_FONTHEIGHT, list_.font_height);
    SetInt(*label, PR_LINESPACE, list_.LineSpacing());
    SetInt(*label, PR_FONTCOLOR, list_.colour);
    SetInt(*label, PR_FONTSTYLE, list_.font_style);
    SetFlag(*label, PR_ANTIALIAS, list_.anti_alias != 0);
    SetInt(*label, PR_HALIGN, list_.halign);
    SetFlag(*label, PR_FLIPH, list_.mirror_h());
    SetFlag(*label, PR_FLIPV, list_.mirror_v());
    if (PropAsStr(label->GetProperty(PR_TEXT)) != list_.text) {
      label->SetProperty(PR_TEXT, list_.text);
    }
    SetLayer(*label, stage_, list_.layer());
    Place(*label, stage_, at->position);
    SetInt(*label, PR_OFFSETX, at->offset.x);
    SetInt(*label, PR_OFFSETY, at->offset.y);
    SetInt(*label, PR_ALPHA, at->alpha);
    SetInt(*label, PR_ANGLE, at->angle);
    SetInt(*label, PR_ZOOMX, at->scale_x);
    SetInt(*label, PR_ZOOMY, at->scale_y);
    SetClip(*label, at->clip);
    if (stage_.motion()) {
      const auto* block = dynamic_cast<const FilmTextBlock*>(label);
      const Point size = block != nullptr ? block->TextBlockSize() : Point{};
      if (label->width() != Scaled(size.x, at->scale_x))
        label->SetWidth(Scaled(size.x, at->scale_x));
      if (label->height() != Scaled(size.y, at->scale_y)) {
        label->SetHeight(Scaled(size.y, at->scale_y));
      }
    }
  }

 private:
  // Until a label class exists the object list creates none, and the track shows nothing.
  TNovuControl* Label(int base) {
    if (stage_.motion()) return stage_.target;
    if (TNovuControl* label = control_.Control()) return label;
    TNovuBaseList* list = ListOf(stage_);
    if (list == nullptr) return nullptr;
    TNovuObject* placed = control_.Place(list->CreateByType(LT_LABEL), stage_, base);
    return placed != nullptr ? placed->AsControl() : nullptr;
  }

  render::TLabelFrameList& list_;
  FilmStage& stage_;
  DrivenObject control_;
};

// --- rectangles: boxes, particles, fire ---

// The control of a rectangle track; tracks along a parent chain share the first one's, so the
// chain's emitter or fire runs on without a restart.
class RectDriver : public FilmTrackDriver {
 public:
  RectDriver(render::TRectFrameList& list, FilmStage& stage, ComponentType type)
      : list_(list), stage_(stage), type_(type) {}
  ~RectDriver() override { Release(); }
  void Release() override { control_.Release(); }
  DrivenObject& control() { return control_; }

 protected:
  TNovuControl* Control(int base) {
    if (stage_.motion()) return stage_.target;
    if (TNovuControl* control = control_.Control()) return control;
    TNovuBaseList* list = ListOf(stage_);
    if (list == nullptr) return nullptr;
    TNovuObject* placed = control_.Place(list->CreateByType(type_), stage_, base);
    return placed != nullptr ? placed->AsControl() : nullptr;
  }
  void PlaceRect(TNovuControl& control, const Rect& rect) {
    Place(control, stage_, {rect.left, rect.top});
    if (control.width() != rect.Width()) control.SetWidth(rect.Width());
    if (control.height() != rect.Height()) control.SetHeight(rect.Height());
  }

  render::TRectFrameList& list_;
  FilmStage& stage_;

 private:
  ComponentType type_;
  DrivenObject control_;
};

class BoxDriver final : public RectDriver {
 public:
  BoxDriver(render::TBoxFrameList& list, FilmStage& stage)
      : RectDriver(list, stage, LT_BOX), box_(list) {}

  void Apply(int32_t frame, int base) override {
    const auto at = box_.BoxAt(frame);
    if (!at) {
      if (!stage_.motion()) Release();
      return;
    }
    TNovuControl* box = Control(base);
    if (box == nullptr) return;
    SetLayer(*box, stage_, list_.layer());
    PlaceRect(*box, at->rect);
    SetInt(*box, PR_ALPHA, at->alpha);
    SetClip(*box, at->clip);
    if (stage_.motion()) return;
    SetInt(*box, PR_COLOR, at->fill);
    SetInt(*box, PR_BORDERWIDTH, at->border);
    SetInt(*box, PR_BORDERCOLOR, at->border_colour);
  }

 private:
  render::TBoxFrameList& box_;
};

class FireDriver final : public RectDriver {
 public:
  FireDriver(render::TFireFrameList& list, FilmStage& stage)
      : RectDriver(list, stage, LT_FIRE), fire_(list) {}

  void Apply(int32_t frame, int base) override {
    const auto at = fire_.FireAt(frame);
    if (!at) {
      if (!stage_.motion()) Release();
      return;
    }
    TNovuControl* fire = Control(base);
    if (fire == nullptr) return;
    Place(*fire, stage_, {at->rect.left, at->rect.top});
    SetInt(*fire, PR_ORIGWIDTH, at->rect.Width());
    SetInt(*fire, PR_ORIGHEIGHT, at->rect.Height());
    SetInt(*fire, PR_ZOOMX, at->zoom_x);
    SetInt(*fire, PR_ZOOMY, at->zoom_y);
    SetInt(*fire, PR_POWER, fire_.power);
    SetLayer(*fire, stage_, list_.layer());
    SetClip(*fire, at->clip);
  }

 private:
  render::TFireFrameList& fire_;
};

class ParticleDriver final : public RectDriver {
 public:
  ParticleDriver(render::TParticleFrameList& list, FilmStage& stage)
      : RectDriver(list, stage, LT_PARTICLE), particles_(list) {}

  void Apply(int32_t frame, int base) override {
    const auto at = particles_.EmitterAt(frame);
    if (!at) {
      if (!stage_.motion()) Release();
      return;
    }
    TNovuControl* control = Control(base);
    if (control == nullptr) return;
    SetLayer(*control, stage_, list_.layer());
    PlaceRect(*control, at->rect);
    SetInt(*control, PR_ALPHA, at->alpha);
    if (!stage_.motion()) {
      if (auto* emitter = dynamic_cast<TNovuParticle*>(control)) {
        const std::string source = render::ResolveFilmName(stage_.folder, particles_.source);
        if (PropAsStr(emitter->GetProperty(PR_SOURCE)) != source) {
          emitter->SetProperty(PR_SOURCE, source);
        }
        SetInt(*emitter, PR_PARTMOTION, particles_.motion);
        SetInt(*emitter, PR_INDEX, particles_.preroll);
        for (int i = 0; i < 3; ++i) emitter->SetParamValue(i, at->p[i]);
        emitter->SetParam(
            {at->x_base, at->y_base, at->x_range, at->y_range, at->delay_base, at->delay_range});
      }
    }
    SetClip(*control, at->clip);
  }

 private:
  render::TParticleFrameList& particles_;
};

// --- sounds ---

class SoundDriver final : public FilmTrackDriver {
 public:
  SoundDriver(render::TSoundFrameList& list, FilmStage& stage) : list_(list), stage_(stage) {}
  ~SoundDriver() override { control_.Release(); }

  void EnsureSound() override { Sound(); }
  void StopSound() override {
    if (TNovuObject* sound = control_.Get()) sound->SetProperty(PR_PAUSED, true);
  }

  void Apply(int32_t frame, int /*base*/) override {
    TNovuObject* sound = Sound();
    const bool went_back = frame < previous_frame_;
    previous_frame_ = frame;
    if (sound == nullptr) return;
    if (went_back && stage_.sound_on) sound->SetProperty(PR_PAUSED, true);
    const int64_t end = std::min<int64_t>(list_.AbsoluteEnd(), int64_t{stage_.length} - 1);
    if (frame >= list_.AbsoluteStart() && frame < end) {
      SetInt(*sound, PR_VOLUME, Volume(list_.VolumeAt(frame)));
      SetInt(*sound, PR_BALANCE, list_.PanAt(frame));
      if (!stage_.sound_on) {
        SetFlag(*sound, PR_PAUSED, true);
        return;
      }
      const bool paused = PropAsBool(sound->GetProperty(PR_PAUSED));
      if (!paused && PropAsBool(sound->GetProperty(PR_PLAYING))) {
        const int64_t want = (int64_t{frame} - list_.FirstAncestor().AbsoluteStart()) * 1000 / 60;
        const int64_t at = PropAsInt(sound->GetProperty(PR_INDEX));
        if (std::llabs(at - want) >= 3000) {
          sound->SetProperty(PR_INDEX,
                             static_cast<int32_t>(std::clamp<int64_t>(want, 0, INT32_MAX)));
        }
      } else {
        sound->SetProperty(PR_PAUSED, false);
      }
      return;
    }
    const bool carried_on = list_.has_child() || (frame >= list_.FirstAncestor().AbsoluteStart() &&
                                                  frame < list_.AbsoluteEnd());
    if (!carried_on) SetFlag(*sound, PR_PAUSED, true);
  }

 private:
  int32_t Volume(int32_t track_volume) const {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{track_volume} * stage_.volume / 1000, INT32_MIN, INT32_MAX));
  }
  // Tracks with a parent play on the sound of the chain's first track.
  TNovuObject* Sound() {
    if (list_.parent() != nullptr) return nullptr;
    if (TNovuObject* sound = control_.Get()) return sound;
    TNovuBaseList* list = ListOf(stage_);
    if (list == nullptr || list_.sound.empty()) return nullptr;
    TNovuObject* sound = control_.Place(list->CreateByType(LT_SOUND), stage_, 0);
    if (sound == nullptr) return nullptr;
    sound->SetProperty(PR_SOURCE, render::ResolveFilmName(stage_.folder, list_.sound));
    sound->SetProperty(PR_VOLUME, Volume(list_.VolumeStart()));
    sound->SetProperty(PR_REPEAT, Repeats(*sound));
    sound->SetProperty(PR_BALANCE, list_.pan_start);
    sound->SetProperty(PR_PAUSED, true);
    return sound;
  }
  // A sound shorter than its window repeats; otherwise it repeats only when its window runs to
  // the film's end across a loop start inside the film.
  bool Repeats(const TNovuObject& sound) const {
    const int64_t ms = PropAsInt(sound.GetProperty(PR_COUNT));
    if (ms < static_cast<int64_t>(list_.Length() * kFrameMs)) return true;
    const int32_t loop = stage_.loop_start;
    return list_.AbsoluteEnd() >= stage_.length && list_.AbsoluteStart() <= loop &&
           loop < list_.AbsoluteEnd() && loop > 0 && loop < stage_.length - 1;
  }

  render::TSoundFrameList& list_;
  FilmStage& stage_;
  DrivenObject control_;
  int32_t previous_frame_ = -1;
};

}  // namespace

FilmTrackDriver::~FilmTrackDriver() = default;

std::unique_ptr<FilmTrackDriver> FilmTrackDriver::Create(render::TCustomFrameList& list,
                                                         FilmStage& stage) {
  switch (list.Kind()) {
    case render::kImageList:
      return std::make_unique<ImageDriver>(static_cast<render::TImageFrameList&>(list), stage);
    case render::kTileList:
      return std::make_unique<TileDriver>(static_cast<render::TTileFrameList&>(list), stage);
    case render::kLabelList:
      return std::make_unique<LabelDriver>(static_cast<render::TLabelFrameList&>(list), stage);
    case render::kBoxList:
      return std::make_unique<BoxDriver>(static_cast<render::TBoxFrameList&>(list), stage);
    case render::kParticleList:
      return std::make_unique<ParticleDriver>(static_cast<render::TParticleFrameList&>(list),
                                              stage);
    case render::kFireList:
      return std::make_unique<FireDriver>(static_cast<render::TFireFrameList&>(list), stage);
    case render::kSoundList:
      return std::make_unique<SoundDriver>(static_cast<render::TSoundFrameList&>(list), stage);
    default:
      return nullptr;
  }
}

}  // namespace novu

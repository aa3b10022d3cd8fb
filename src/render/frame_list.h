#pragma once
// Film tracks (frame lists): each drives one on-screen object over a window of film time
// (frames of 1/60 s). A track knows its window, follows the track it continues (its parent),
// picks the cell to show at a frame and computes where its animated values stand; the film
// player in the controls layer writes those values into the controls. The stored fields are
// declared once per kind (VisitRecord) and read and written through FrameListFields.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "render/frame_list_fields.h"

namespace novu::render {

class TCustomDIBX;

enum FrameListKind : uint8_t {
  kImageList = 0,
  kLabelList = 1,
  kBoxList = 2,
  kTransitionList = 3,
  kSoundList = 4,
  kTileList = 5,
  kParticleList = 6,
  kFireList = 7,
};
inline constexpr int kFrameListKindCount = 8;

// One animation cell of a track.
class TCustomFrame {
 public:
  virtual ~TCustomFrame() = default;
  virtual int32_t Width() const { return 0; }
  virtual int32_t Height() const { return 0; }
  virtual Point Offset() const { return {}; }
  // Film frames the cell is shown for (at least 1).
  virtual int32_t Duration() const { return 1; }
};

// A cell of a cached picture (not owned).
class TImageFrame final : public TCustomFrame {
 public:
  // `delay_ms` becomes round(delay / 16.666…) film frames, 0 read as 1.
  TImageFrame(TCustomDIBX* surface, TCustomDIBX* mask, int32_t key_colour, Point trim,
              int32_t delay_ms);
  int32_t Width() const override;
  int32_t Height() const override;
  Point Offset() const override { return trim_; }
  int32_t Duration() const override { return duration_; }
  TCustomDIBX* surface() const { return surface_; }
  TCustomDIBX* mask() const { return mask_; }
  int32_t key_colour() const { return key_colour_; }

 private:
  TCustomDIBX* surface_;
  TCustomDIBX* mask_;
  int32_t key_colour_;
  Point trim_;
  int32_t duration_;
};

// The clip rectangle's animation: position and size each from start to end with a mode.
struct ClipRamp {
  Point pos_start, size_start, pos_end, size_end;
  uint8_t pos_mode = 0, size_mode = 0;
  void Visit(FrameListFields& f);
  // The clip at step k of n; none (the whole picture) unless both size components are >= 1.
  std::optional<Rect> At(int64_t k, int64_t n) const;
};

class TCustomFrameList {
 public:
  TCustomFrameList() = default;
  TCustomFrameList(TCustomFrameList&&) = default;
  TCustomFrameList& operator=(TCustomFrameList&&) = default;
  virtual ~TCustomFrameList() = default;
  virtual FrameListKind Kind() const = 0;
  // A track of the kind byte's low 7 bits; null for kinds that do not exist.
  static std::unique_ptr<TCustomFrameList> Create(uint8_t kind_byte);

  // The stored record for the version of `f` (common part, then the kind's fields); values
  // that records of older versions lack take their defaults.
  void VisitRecord(FrameListFields& f);
  int version() const { return version_; }

  // --- timing (film frames; files of version 106 and older count 1/30 s and are doubled) ---
  int32_t Length() const { return Scaled(length_); }
  int32_t Start() const { return Scaled(start_); }
  int32_t Period() const { return Scaled(period_); }
  int32_t layer() const { return layer_; }
  bool mirror_h() const { return mirror_h_ != 0; }
  bool mirror_v() const { return mirror_v_ != 0; }
  bool other_base() const { return other_base_ != 0; }
  int32_t parent_index() const { return parent_index_; }
  void set_parent_index(int32_t index) { parent_index_ = index; }

  // The track this one continues, linked by the film after loading; the film guarantees the
  // chain ends (no cycles).
  TCustomFrameList* parent() const { return parent_; }
  void SetParent(TCustomFrameList* parent);
  bool has_child() const { return has_child_; }
  // The first track of the chain this one belongs to (itself without a parent).
  const TCustomFrameList& FirstAncestor() const;
  // Where the window starts: the own start, or where the parent's window ends.
  int32_t AbsoluteStart() const { return absolute_start_; }
  int64_t AbsoluteEnd() const { return int64_t{absolute_start_} + Length(); }
  // Recomputes the absolute starts along the chain (after linking).
  void ComputeAbsoluteStart();
  bool IsActive(int32_t frame) const { return frame >= absolute_start_ && frame < AbsoluteEnd(); }
  // The number of steps a movement spans: the length, plus one when a track continues it.
  int64_t Steps() const { return int64_t{Length()} + (has_child_ ? 1 : 0); }
  // The step of `frame` within the window.
  int64_t StepAt(int32_t frame) const { return int64_t{frame} - absolute_start_; }

  // --- cells ---
  // The cell for an offset into the window: offset mod max(1, period), walked through the cell
  // durations; past the end the last cell; -1 without cells.
  int32_t CellAt(int64_t offset) const;
  const std::vector<std::unique_ptr<TCustomFrame>>& cells() const { return cells_; }
  void SetCells(std::vector<std::unique_ptr<TCustomFrame>> cells) { cells_ = std::move(cells); }
  void AddCell(std::unique_ptr<TCustomFrame> cell) { cells_.push_back(std::move(cell)); }

  // The shift a relative motion adds to every position of the track.
  void SetShift(Point shift) { shift_ = shift; }
  Point shift() const { return shift_; }

  // The files the track needs (names as stored, relative to the film's folder).
  virtual void CollectNames(std::vector<std::string>& /*names*/) const {}

 protected:
  virtual void VisitKindFields(FrameListFields& f) = 0;
  // Values a record of `version` does not hold, derived from the others.
  virtual void FillMissing(int /*version*/) {}

 private:
  int32_t Scaled(int32_t stored) const;

  int32_t parent_index_ = -1;
  int32_t length_ = 0;
  int32_t reserved_ = 0;
  int32_t start_ = 0;
  int32_t period_ = 0;
  int32_t layer_ = 0;
  uint8_t mirror_h_ = 0;
  uint8_t mirror_v_ = 0;
  uint8_t other_base_ = 0;
  int version_ = 0;

  TCustomFrameList* parent_ = nullptr;
  bool has_child_ = false;
  int32_t absolute_start_ = 0;
  Point shift_;
  std::vector<std::unique_ptr<TCustomFrame>> cells_;
};

// Where an image-kind track puts its picture at a frame.
struct ImagePlacement {
  int32_t cell = -1;
  Point position;
  int32_t scale_x = 256, scale_y = 256;  // 1/256
  std::optional<Rect> clip;              // relative to the picture; none: the whole picture
  int32_t angle = 0;                     // 1/256 turns
  int32_t alpha = 255;                   // alpha code
  Point offset;                          // hot spot - the cell's trim offset
};

// The geometry images, tiles and labels share.
class TCustomImageFrameList : public TCustomFrameList {
 public:
  // Null frame outside the window.
  std::optional<ImagePlacement> PlacementAt(int32_t frame) const;

  Point hot_spot;
  Point pos_start, pos_end;
  uint8_t mode_x = 0, mode_y = 0;
  int32_t angle_start = 0, angle_end = 0;
  double scale_x_start = 1.0, scale_x_end = 1.0;
  uint8_t scale_x_mode = 0;
  int32_t alpha_start = 0, alpha_end = 0;
  uint8_t angle_mode = 0;
  ClipRamp clip;
  double scale_y_start = 1.0, scale_y_end = 1.0;
  uint8_t scale_y_mode = 0;

 protected:
  // The geometry block of the record (without any name).
  void VisitGeometry(FrameListFields& f);
  void FillMissing(int version) override;
};

class TImageFrameList : public TCustomImageFrameList {
 public:
  FrameListKind Kind() const override { return kImageList; }
  void CollectNames(std::vector<std::string>& names) const override;
  std::string image;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

// A tile: the image track plus the size, scroll and spacing of the copies.
class TTileFrameList final : public TImageFrameList {
 public:
  FrameListKind Kind() const override { return kTileList; }
  struct TileState {
    Rect rect;
    int32_t scroll_x = 0, scroll_y = 0;
  };
  std::optional<TileState> TileAt(int32_t frame) const;

  int32_t width_start = 0, height_start = 0, width_end = 0, height_end = 0;
  int32_t scroll_x_start = 0, scroll_y_start = 0, scroll_x_end = 0, scroll_y_end = 0;
  uint8_t scroll_x_mode = 0, scroll_y_mode = 0;
  int32_t spacing_x = 0, spacing_y = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

class TLabelFrameList final : public TCustomImageFrameList {
 public:
  FrameListKind Kind() const override { return kLabelList; }
  // Files before version 103 store a line spacing that is not used.
  int32_t LineSpacing() const { return version() >= 103 ? line_space : 0; }

  std::string text;
  uint8_t anti_alias = 0;
  std::string font_name;
  int32_t font_height = 12;
  int32_t line_space = 0;
  uint8_t font_style = 0;
  int32_t colour = 0xFFFFFF;
  uint8_t halign = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

// A rectangle that moves and resizes: boxes, particles and fire.
struct RectRamp {
  Point pos_start, pos_end;
  uint8_t mode_x = 0, mode_y = 0;
  int32_t width_start = 0, height_start = 0, width_end = 0, height_end = 0;
  // left = the x pair, right = the pair of x + width - 1; top and bottom likewise.
  Rect At(int64_t k, int64_t n, Point shift) const;
};

class TRectFrameList : public TCustomFrameList {
 public:
  RectRamp rect;
  ClipRamp clip;
  // The rectangle at `frame` (right and bottom exclusive), start values continued from a
  // parent of the same family.
  std::optional<Rect> RectAt(int32_t frame) const;
  std::optional<Rect> ClipAt(int32_t frame) const;

 protected:
  // The ramps with their start values continued from a parent of the same family.
  RectRamp ContinuedRect() const;
  ClipRamp ContinuedClip() const;
};

class TBoxFrameList final : public TRectFrameList {
 public:
  FrameListKind Kind() const override { return kBoxList; }
  struct BoxState {
    Rect rect;
    int32_t alpha = 255;
    int32_t fill = 0, border = 0, border_colour = 0;
    std::optional<Rect> clip;
  };
  std::optional<BoxState> BoxAt(int32_t frame) const;

  int32_t alpha_start = 0, alpha_end = 0;
  int32_t fill_start = 0, fill_end = 0;
  int32_t border_start = 0, border_end = 0;
  int32_t border_colour_start = 0, border_colour_end = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

class TWipeFrameList final : public TCustomFrameList {
 public:
  FrameListKind Kind() const override { return kTransitionList; }
  void CollectNames(std::vector<std::string>& names) const override;
  uint8_t type = 0;
  std::string rule;
  int32_t param0 = 0, param1 = 0;
  uint8_t reverse = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

class TSoundFrameList final : public TCustomFrameList {
 public:
  FrameListKind Kind() const override { return kSoundList; }
  void CollectNames(std::vector<std::string>& names) const override;
  // Volumes (1000 = 100 %): files of version 107 and older store v, read as v / 10 + 1000.
  int32_t VolumeStart() const { return Volume(volume_start); }
  int32_t VolumeEnd() const { return Volume(volume_end); }
  int32_t VolumeAt(int32_t frame) const;
  int32_t PanAt(int32_t frame) const;

  std::string sound;
  int32_t volume_start = 1000, volume_end = 1000;
  int32_t pan_start = 0, pan_end = 0;
  uint8_t volume_mode = 0, pan_mode = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;

 private:
  int32_t Volume(int32_t stored) const;
};

class TParticleFrameList final : public TRectFrameList {
 public:
  FrameListKind Kind() const override { return kParticleList; }
  void CollectNames(std::vector<std::string>& names) const override;
  struct EmitterState {
    Rect rect;
    int32_t alpha = 255;
    int32_t x_base = 0, y_base = 0, x_range = 0, y_range = 0;
    int32_t delay_base = 0, delay_range = 0;
    double p[3] = {0, 0, 0};
    std::optional<Rect> clip;
  };
  std::optional<EmitterState> EmitterAt(int32_t frame) const;

  std::string source;
  uint8_t motion = 0;
  int32_t preroll = 0;
  int32_t centre_start = 0, centre_end = 0, spread_start = 0, spread_end = 0;
  Point base_start, base_end;
  Point range_start, range_end;
  uint8_t base_mode_x = 0, base_mode_y = 0;
  double p_start[3] = {0, 0, 0};
  double p_end[3] = {0, 0, 0};
  int32_t alpha_start = 0, alpha_end = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

class TFireFrameList final : public TRectFrameList {
 public:
  FrameListKind Kind() const override { return kFireList; }
  struct FireState {
    Rect rect;
    int32_t zoom_x = 256, zoom_y = 256;
    std::optional<Rect> clip;
  };
  std::optional<FireState> FireAt(int32_t frame) const;

  double zoom_x_start = 1.0, zoom_y_start = 1.0, zoom_x_end = 1.0, zoom_y_end = 1.0;
  uint8_t zoom_x_mode = 0, zoom_y_mode = 0;
  int32_t power = 0;

 protected:
  void VisitKindFields(FrameListFields& f) override;
};

}  // namespace novu::render

#pragma once
// TNovuSlider (LT_SLIDER) and TNovuScrollbar (LT_SCROLLBAR): a value between a minimum and a
// maximum, changed by dragging a thumb along a bar, by two arrow buttons and by the arrow keys.
// Everything is drawn from three pictures of the image cache: the bar (two halves side by side:
// the left half repeats along the part beyond the thumb, the right half along the part from the
// minimum to the thumb), the thumb (three cells: normal, hover, pressed) and the buttons (six
// cells: the first button's three states, then the second's).
//
// The two differ in where the thumb runs: a slider's thumb centre runs over the whole bar and
// the bar sits between the two halves of the thumb; a scroll bar's thumb stays inside the track,
// and a click on the track steps by the large change instead of jumping there.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "controls/cached_picture.h"
#include "controls/image_environment.h"
#include "objects/novu_control.h"

namespace novu {

// PR_ORIENTATION
inline constexpr int32_t OT_HORIZONTAL = 0;
inline constexpr int32_t OT_VERTICAL = 1;

// Round to nearest, halves to the even neighbour.
int64_t RoundHalfEven(double value);

class TNovuCustomSlider : public TNovuControl {
 public:
  // Where the control lies on screen, from its position and the sizes of its pictures.
  struct Layout {
    Rect bar;
    Rect thumb;
    Rect first_button;
    Rect second_button;
  };
  enum class Part { kNone, kBar, kThumb, kFirstButton, kSecondButton };

  TNovuCustomSlider(ObjectList* owner, ImageEnvironment env);
  ~TNovuCustomSlider() override;

  // The value read clamped into min .. max.
  int32_t Value() const;
  int32_t min() const { return min_; }
  int32_t max() const { return max_; }
  bool vertical() const { return orientation_ == OT_VERTICAL; }
  // How far the thumb stands from the minimum end, in pixels.
  int32_t ThumbOffset() const;
  Layout GetLayout() const;
  // The part under a screen point (the thumb before the buttons before the bar).
  Part PartAt(Point screen) const;

  void SetBarSource(std::string_view name);
  void SetThumbSource(std::string_view name);
  void SetButtonSource(std::string_view name);
  void SetOrientation(int32_t orientation);
  void SetBarSize(int32_t size);
  void SetMin(int32_t value);
  void SetMax(int32_t value);
  // A script's write: the value is stored and the thumb moves; no event.
  void SetValue(int32_t value);
  void SetAlpha(int32_t alpha);

  void LButtonDown() override;
  void LButtonUp() override;
  void MouseMove() override;
  void MouseOut() override;
  void MouseDrag() override;
  void KeyRepeat(std::span<const int32_t> keys) override;
  int32_t Update() override;

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  // True for the scroll bar: the thumb runs inside the bar and the track steps.
  virtual bool IsScrollbar() const = 0;
  virtual int32_t LargeChange() const { return 0; }
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

 private:
  enum class Press { kNone, kThumb, kFirstButton, kSecondButton, kTrackBefore, kTrackAfter };
  struct Extents {
    int32_t bar_w = 0, bar_h = 0;
    int32_t thumb_w = 0, thumb_h = 0;
    int32_t button_w = 0, button_h = 0;
  };

  Extents PartExtents() const;
  int32_t BarLength() const;
  int32_t ThumbLength() const;
  // The pixels the thumb offset spreads over: the bar, or on a scroll bar what the thumb leaves
  // of it.
  int32_t TravelLength() const;
  void RecomputeSize();
  std::optional<Point> Pointer() const;
  // Along the bar's axis.
  int32_t PointerAlong() const;
  bool ShowsStates() const;
  int ThumbCell() const;
  int ButtonCell(bool second) const;
  bool BarMaskHits(const Rect& bar, Point screen) const;
  bool CellMaskHits(const CachedPicture& picture, int cells, int cell, const Rect& at,
                    Point screen) const;

  // A change made by the user: stored when different, and PR_ONNOTIFY is posted.
  void ChangeByUser(int64_t value);
  void StepBy(int64_t delta);
  // The value under the pointer while the thumb is dragged.
  void FollowPointer();
  void StartDrag(int32_t grab);
  // The small change a button adds (the first button of a vertical slider adds, of the rest
  // subtracts).
  int64_t ButtonStep(bool second) const;
  // True while the press still has its reason: the pointer on the button, or beyond the thumb.
  bool PressStillApplies() const;
  void RunPress();

  void DrawSliderBar(render::TCustomDIBX& surface, const Layout& layout) const;
  void DrawScrollTrack(render::TCustomDIBX& surface, const Layout& layout) const;
  void DrawCells(render::TCustomDIBX& surface, const CachedPicture& picture, int cells, int cell,
                 const Rect& at) const;
  // The sync of a picture name that is loaded through its setter.
  static void SyncPicture(TNovuCustomSlider& s, std::string TNovuCustomSlider::*name,
                          void (TNovuCustomSlider::*setter)(std::string_view), Serializer& sz);

  ImageEnvironment env_;
  CachedPicture bar_;
  CachedPicture thumb_;
  CachedPicture buttons_;
  std::string bar_source_, thumb_source_, button_source_;
  int32_t min_ = 0, max_ = 0, value_ = 0;
  int32_t small_change_ = 1;
  int32_t alpha_ = 255;
  int32_t bar_size_ = 0;
  bool paused_ = false;
  uint8_t orientation_ = OT_HORIZONTAL;
  bool capture_mask_ = false;
  std::string on_notify_, on_hold_, on_release_, on_idle_;

  Part hover_ = Part::kNone;
  Press press_ = Press::kNone;
  int32_t grab_ = 0;
  int32_t repeat_ms_ = 0;
};

class TNovuSlider final : public TNovuCustomSlider {
 public:
  using TNovuCustomSlider::TNovuCustomSlider;
  ComponentType GetType() const override { return LT_SLIDER; }

 protected:
  bool IsScrollbar() const override { return false; }
};

class TNovuScrollbar final : public TNovuCustomSlider {
 public:
  using TNovuCustomSlider::TNovuCustomSlider;
  ComponentType GetType() const override { return LT_SCROLLBAR; }

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  bool IsScrollbar() const override { return true; }
  int32_t LargeChange() const override { return large_change_; }

 private:
  int32_t large_change_ = 1;
};

}  // namespace novu

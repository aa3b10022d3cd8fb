#pragma once
// TNovuControl: the visible script objects. A control has a position and size on its base, an
// anchor point its position refers to, owned children drawn in list order, a clip rectangle,
// mouse and keyboard event labels, and optionally a motion film that moves it.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "objects/novu_object.h"

namespace novu {

namespace render {
class TCustomDIBX;
}
class TNovuMotion;

// Which mouse input a control takes (PR_IGNOREMOUSE).
enum MouseMode : uint8_t {
  IM_NONE = 0,    // every button
  IM_ALL = 1,     // no mouse input at all
  IM_CLICK = 2,   // no clicks, but hover
  IM_LCLICK = 3,  // no left clicks
  IM_RCLICK = 4,  // no right clicks
};

// A set of mouse modes, one bit per mode; hit testing accepts the modes in the set.
class MouseModeSet {
 public:
  constexpr MouseModeSet() = default;
  constexpr MouseModeSet(std::initializer_list<MouseMode> modes) {
    for (MouseMode m : modes) bits_ |= Bit(m);
  }
  // A mode byte outside 0..7 is in no set.
  constexpr bool Contains(uint8_t mode) const { return mode < 8 && (bits_ & Bit(mode)) != 0; }

 private:
  static constexpr uint8_t Bit(uint8_t mode) { return static_cast<uint8_t>(1u << mode); }
  uint8_t bits_ = 0;
};

// The press-taken bits a base keeps: set by the object list (0x01, 0x02) and by an object that
// took a press (0x04, 0x08).
inline constexpr uint8_t kPressLeftByList = 0x01;
inline constexpr uint8_t kPressRightByList = 0x02;
inline constexpr uint8_t kPressLeftTaken = 0x04;
inline constexpr uint8_t kPressRightTaken = 0x08;

// The mouse state a base holds for the controls on it.
struct BaseInputState {
  int32_t mouse_x = 0;  // last mouse position, base coordinates
  int32_t mouse_y = 0;
  uint8_t press_taken = 0;
  bool left_click = false;   // @LClick
  bool right_click = false;  // @RClick
};

class TNovuControl : public TNovuComponent {
 public:
  explicit TNovuControl(ObjectList* owner);
  ~TNovuControl() override;

  void Create() override;
  TNovuControl* AsControl() override { return this; }

  // --- geometry ---
  int32_t left() const { return left_; }
  int32_t top() const { return top_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t offset_x() const { return offset_x_; }
  int32_t offset_y() const { return offset_y_; }
  int32_t plus_x() const { return plus_x_; }
  int32_t plus_y() const { return plus_y_; }
  int32_t color() const { return color_; }
  bool pos_zoomed() const { return pos_zoomed_; }
  uint8_t mouse_mode() const { return mouse_mode_; }
  bool handles_keys() const { return handle_key_; }
  const std::string& cursor() const { return cursor_; }
  const Rect& picture_rect() const { return picture_rect_; }
  void set_picture_rect(const Rect& rect) { picture_rect_ = rect; }

  void SetLeft(int32_t value);
  void SetTop(int32_t value);
  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetOffsetX(int32_t value);
  void SetOffsetY(int32_t value);
  void SetPlusX(int32_t value);
  void SetPlusY(int32_t value);
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  void SetColor(int32_t value);
  void SetPosZoomed(bool value);
  void SetMouseMode(uint8_t mode) { mouse_mode_ = mode; }
  void SetHandleKey(bool value);
  // The clip (left, top, width, height relative to the control) is off while the width or the
  // height is below 1.
  void SetClip(int32_t left, int32_t top, int32_t width, int32_t height);
  bool HasClip() const { return clip_width_ >= 1 && clip_height_ >= 1; }
  // The position a running motion puts the control at.
  void SetMotionDisplacement(int32_t x, int32_t y);

  // --- tree ---
  TNovuControl* GetParent() const override { return holder(); }
  // Moves the control under `parent` (none: back to the object list). Ignored for the current
  // parent, the control itself or one of its descendants.
  void SetParent(TNovuControl* parent) override;
  int32_t ChildCount() const { return static_cast<int32_t>(children_.size()); }
  TNovuObject* Child(int32_t index) const;
  const std::vector<std::unique_ptr<TNovuObject>>& children() const { return children_; }
  // Takes ownership of `child`, makes this control its parent and resorts the children. A child
  // whose tree would nest deeper than kMaxNesting is refused with a NovuError (and freed).
  TNovuObject& AddChild(std::unique_ptr<TNovuObject> child);
  // Hands back a child; null when `child` is not one of the children.
  std::unique_ptr<TNovuObject> RemoveChild(TNovuObject& child);
  void SortChildren();
  bool ContainsDescendant(const TNovuObject& object) const;

  TNovuControl* GetBase() const override;
  virtual bool IsBase() const { return false; }
  // The mouse state of a base; none for every other control.
  virtual BaseInputState* InputState() { return nullptr; }
  // The surface the control draws into: its base's.
  virtual render::TCustomDIBX* GetSurface() const;
  // Called on a base with a rectangle (screen coordinates) to repaint.
  virtual void InvalidateRect(const Rect& /*rect*/) {}
  virtual bool IsCabinet() const { return false; }
  // Called on a cabinet when a control moves into or out of it.
  virtual void CabinetEntered(TNovuControl& /*control*/) {}
  virtual void CabinetLeft(TNovuControl& /*control*/) {}
  // True when the control sits inside a cabinet.
  bool InCabinet() const;

  bool IsVisible() const override { return visible_; }
  void SetVisible(bool visible) override;
  // Visible, on the active base, and every ancestor visible.
  bool IsInputActive() const;
  // A control-specific test (menus and selection images while they close).
  virtual bool IsInputDisabled() const { return false; }

  // --- position ---
  int32_t ScreenX() const;
  int32_t ScreenY() const;
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;
  // The rectangle at the screen position with the control's size.
  virtual Rect GetBoundsRect() const;
  bool IntersectsBounds(const Rect& rect) const;
  // The clip on screen; none while the clip is off.
  std::optional<Rect> ClipRectOnScreen() const;
  // Picture controls: the size of their picture in its own pixels.
  virtual std::optional<Point> PictureSize() const { return std::nullopt; }

  // --- drawing ---
  // Reports the visible part of the control to its base for repainting.
  virtual void Invalidate();
  // Draws the control, then its visible children each clipped to its area.
  virtual void Paint(render::TCustomDIBX& surface);
  // The top-most, deepest control at the screen point whose mouse mode is accepted.
  virtual TNovuControl* HitTest(Point screen, MouseModeSet accepted);

  int32_t Update() override;
  TNovuMotion* GetMotion() const { return motion_.get(); }
  void SetMotion(std::unique_ptr<TNovuMotion> motion);

  // --- input ---
  virtual void LButtonDown();
  virtual void LButtonUp();
  virtual void RButtonDown();
  virtual void RButtonUp();
  virtual void MouseMove();
  virtual void MouseOut();
  virtual void MouseIn();
  // Called every frame while the control holds a captured press, after any MouseMove: controls
  // that follow the pointer (a slider's thumb) move there.
  virtual void Drag() {}
  TNovuControl* FindFocusCandidate();
  // `keys` are the virtual-key codes of the frame, posted as decimal arguments.
  virtual void KeyDown(std::span<const int32_t> keys);
  virtual void KeyRepeat(std::span<const int32_t> keys);
  virtual void KeyUp(std::span<const int32_t> keys);

  // --- properties and saving ---
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  const std::string& EventLabel(PropId id) const;
  void SetEventLabel(PropId id, std::string_view label);

 protected:
  // What the control draws itself before its children; nothing by default.
  virtual void DrawSelf(render::TCustomDIBX& /*surface*/) {}
  // Passed down the tree when the position or the anchor changed.
  virtual void BoundsChanged();
  // Passed down the tree when the clip changed.
  virtual void ClipChanged();
  void ResolveNameClash(TNovuObject& other) override;
  void PriorityChanged() override;

 private:
  // The fourteen event labels, in the order they are saved.
  static constexpr std::array<PropId, 14> kEventLabelIds{
      PR_ONMOUSEMOVE, PR_ONMOUSEIN,   PR_ONMOUSEOUT,  PR_ONLBTNDOWN, PR_ONLBTNUP,
      PR_ONRBTNDOWN,  PR_ONRBTNUP,    PR_ONWHEELDOWN, PR_ONWHEELUP,  PR_ONKEYDOWN,
      PR_ONKEYUP,     PR_ONKEYREPEAT, PR_ONFOCUSIN,   PR_ONFOCUSOUT};
  static std::optional<size_t> EventSlot(PropId id);

  int32_t ScreenAxis(bool vertical) const;
  std::vector<std::string> RelativeMousePosition() const;
  void PostKeyEvent(PropId id, std::span<const int32_t> keys);
  bool FocusInside() const;
  BaseInputState* BaseInput() const;
  int32_t Depth() const;
  // The nearest cabinet among this control and its ancestors.
  TNovuControl* EnclosingCabinet();
  int32_t SubtreeHeight() const;
  void SetParentByName(std::string_view name);
  // The event label in saved slot `slot`, as a table row.
  static RowBuilder<TNovuControl> EventLabelRow(size_t slot);
  void SyncChildren(Serializer& s);
  void SaveChildren(BinaryWriter& out) const;
  void LoadChildren(BinaryReader& in, const ObjectLoadContext& context);

  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int32_t offset_x_ = 0, offset_y_ = 0;
  bool visible_ = true;
  int32_t color_ = 0;
  std::vector<std::unique_ptr<TNovuObject>> children_;
  Rect picture_rect_{0, 0, 1, 1};
  std::array<std::string, kEventLabelIds.size()> event_labels_;
  uint8_t mouse_mode_ = IM_NONE;
  std::string cursor_;
  bool pos_zoomed_ = false;
  int32_t clip_left_ = 0, clip_top_ = 0, clip_width_ = 0, clip_height_ = 0;
  int32_t motion_x_ = 0, motion_y_ = 0;
  int32_t plus_x_ = 0, plus_y_ = 0;
  bool animation_paused_ = false;
  bool handle_key_ = false;
  std::unique_ptr<TNovuMotion> motion_;
};

}  // namespace novu

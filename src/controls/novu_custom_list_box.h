#pragma once
// TNovuCustomListBox: the base of the text lists the player draws itself. Its items are the
// lines of PR_TEXT, drawn one per row inside a box with a border, a nine-cell picture frame,
// an optional check picture per item and a scroll bar picture when the items exceed the
// visible rows. The list sizes itself to its items; the mouse hovers and chooses items and
// works the scroll bar (arrows and track repeat while held), the keys move the hovered item.
// A choice sets @SelStr and @SelIndex and raises PR_ONSELECT with [item text, index].
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/image_environment.h"
#include "controls/list_box_geometry.h"
#include "controls/list_box_pictures.h"
#include "controls/list_caption.h"
#include "objects/novu_control.h"

namespace novu {

class TNovuCustomListBox : public TNovuControl {
 public:
  // The scroll bar steps again this long after the press, then at every interval, while held.
  static constexpr int32_t kFirstRepeatMs = 300;
  static constexpr int32_t kRepeatIntervalMs = 50;

  TNovuCustomListBox(ObjectList* owner, ImageEnvironment env);
  ~TNovuCustomListBox() override;

  void Create() override;

  int32_t ItemCount() const { return static_cast<int32_t>(items_.size()); }
  const std::string& ItemText(int32_t index) const;
  bool Checked(int32_t index) const;
  void SetChecked(int32_t index, bool checked);
  int32_t hovered() const { return hovered_; }
  int32_t top_item() const { return top_item_; }
  int32_t chosen() const { return index_; }
  int32_t rows() const { return rows_; }
  ListPress press() const { return press_; }
  int32_t row_height() const { return row_height_; }

  void SetText(std::string_view text);
  void SetRows(int32_t rows);
  void SetTopItem(int32_t top);
  // Moves the hover to `index` (-1: none) with the map-in and map-out events; the top item
  // follows when `follow` and the item leaves the visible rows.
  void SetHovered(int32_t index, bool follow);
  void SetScrollSource(std::string_view name);
  void SetCheckSource(std::string_view name);
  void SetFrameSource(int cell, std::string_view name);

  // The parts' places for the current size and settings (laid out first when needed).
  ListBoxGeometry Geometry();
  void EnsureLayout();

  int32_t Update() override;
  void LButtonDown() override;
  void LButtonUp() override;
  void MouseMove() override;
  void MouseOut() override;
  void MouseDrag() override;
  void KeyRepeat(std::span<const int32_t> keys) override;

  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

 protected:
  void DrawSelf(render::TCustomDIBX& surface) override;
  void AfterLoad() override;

  // Sizing: the list box takes the size; a menu keeps its animated height.
  virtual void ApplyLayoutSize(int32_t width, int32_t height);
  // The colour of the hovered row's highlight; -1 for none.
  virtual int32_t HoverColour() const { return -1; }
  // Called once a choice was reported.
  virtual void Chosen() {}
  // False while the list must not move its hover by keys.
  virtual bool TakesKeys() const { return !IsPaused(); }
  void Choose(int32_t index);
  void MarkLayout();
  int32_t animation_phase() const { return phase_; }
  void set_animation_phase(int32_t phase) { phase_ = phase; }
  // The layout's full height, before any animation.
  int32_t layout_height() const { return layout_height_; }
  const ImageEnvironment& env() const { return env_; }
  // The hovered item's colour and style follow the normal ones until they are given.
  void SetHoverColour(int32_t colour);
  void SetHoverStyle(int32_t style);
  const ListCaptionStyle& hover_style() const { return hover_style_; }
  std::optional<Point> Pointer() const;

 private:
  struct Item {
    ListCaption normal;
    ListCaption hover;
    uint8_t checked = 0;
  };

  void Layout();
  void StepScroll(ListPress part);
  void RunRepeat(int32_t elapsed_ms);
  void PaintScrollBar(render::TCustomDIBX& surface, const ListBoxGeometry& g) const;
  void PaintItems(render::TCustomDIBX& surface, const ListBoxGeometry& g);
  bool HeldPartUnderPointer(ListPress part, const ListBoxGeometry& g) const;
  void PostItemEvent(const std::string& label, PropId id, int32_t index);
  // A setting that changes the layout.
  template <typename V>
  void SetLayoutField(V& field, V value);
  // Both caption styles (the hover style follows the normal one for settings it shares).
  template <typename V>
  void SetSharedStyle(V ListCaptionStyle::*field, V value);
  void SyncStyles(Serializer& s);
  void SyncFrames(Serializer& s);
  void SyncChecks(Serializer& s);

  ImageEnvironment env_;
  std::string text_;
  std::vector<Item> items_;
  ListCaptionStyle normal_style_;
  ListCaptionStyle hover_style_;
  int32_t hovered_ = -1;
  int32_t index_ = -1;
  int32_t top_item_ = 0;
  int32_t rows_ = 1;
  int32_t margin_x_ = 0;
  int32_t margin_y_ = 0;
  int32_t line_space_ = 0;
  uint8_t h_align_ = 0;
  int32_t border_width_ = 0;
  int32_t border_colour_ = -1;
  int32_t alpha_ = 255;
  ListFramePictures frame_;
  ListCellPicture scroll_;
  ListCellPicture check_;
  bool paused_ = false;
  std::string on_select_;
  std::string on_map_in_;
  std::string on_map_out_;
  std::string on_idle_;
  int32_t phase_ = 0;

  bool hover_colour_follows_ = true;
  bool hover_style_follows_ = true;
  bool layout_needed_ = true;
  int32_t row_height_ = 0;
  int32_t layout_height_ = 0;
  ListPress press_ = ListPress::kNone;
  int32_t repeat_clock_ = 0;
  // The update pass of the frame that took the press does not count towards the first repeat.
  bool repeat_armed_ = false;
};

template <typename V>
void TNovuCustomListBox::SetLayoutField(V& field, V value) {
  if (field == value) return;
  field = value;
  MarkLayout();
}

template <typename V>
void TNovuCustomListBox::SetSharedStyle(V ListCaptionStyle::*field, V value) {
  normal_style_.*field = value;
  hover_style_.*field = value;
  MarkLayout();
}

}  // namespace novu

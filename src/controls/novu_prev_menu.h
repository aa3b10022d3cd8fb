#pragma once
// TNovuPrevMenu (LT_PREVMENU): a menu of picture items made in the editor and loaded from a
// preview-menu file. Items react to the pointer and keys with their own pictures and overlay
// animations, can be disabled or hidden, and may form radio groups (a positive group number:
// one member always counts as checked) or toggle groups (negative: at most one). A choice is
// reported through @SelStr, @SelIndex and the select event; the menu then waits for its click
// animations, and deletes itself or reports the end.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/cont_sel_list.h"
#include "controls/image_environment.h"
#include "objects/input_router.h"
#include "objects/novu_control.h"

namespace novu {

class TFipoItem;
class TNovuPrevImages;

class TNovuPrevMenu final : public TNovuControl, public RightClickCloser {
 public:
  TNovuPrevMenu(ObjectList* owner, ImageEnvironment env);
  ~TNovuPrevMenu() override;

  void Create() override;
  ComponentType GetType() const override { return LT_PREVMENU; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }

  void SetSource(std::string_view name);
  int32_t ItemCount() const { return static_cast<int32_t>(menu_.items.size()); }
  const TContSelButton& Item(int32_t index) const { return menu_.items[index]; }
  // -1 when no item has the name.
  int32_t ItemIndexOf(std::string_view name) const;
  int32_t hovered() const { return hovered_; }
  int32_t running_animations() const { return running_; }

  // Indexed item state (out-of-range indexes read false / 0 and change nothing).
  bool Enabled(int32_t i) const;
  void SetEnabled(int32_t i, bool on);
  bool Visible(int32_t i) const;
  void SetVisible(int32_t i, bool on);
  bool Checked(int32_t i) const;
  void SetChecked(int32_t i, bool on);
  int32_t Group(int32_t i) const;
  // The checked rule: whether item i is the checked member of its group.
  bool CountsAsChecked(int32_t i) const;

  // A choice of item i (by the mouse or the keys).
  void Click(int32_t i);

  TNovuControl* HitTest(Point screen, MouseModeSet accepted) override;
  void MouseMove() override;
  void MouseOut() override;
  void LButtonDown() override;
  void LButtonUp() override;
  void RButtonDown() override;
  void KeyRepeat(std::span<const int32_t> keys) override;
  bool CloseByRightClick() override;

 protected:
  void AfterLoad() override;

 private:
  bool Valid(int32_t i) const { return i >= 0 && i < ItemCount(); }
  void ClearItems();
  void BuildItems(std::string_view file_name, std::span<const uint8_t> bytes);
  void HoldPictures();
  // Shows item i's picture for its situation (see the file comment in the .cpp).
  void ShowEntering(int32_t i);
  void ShowLeaving(int32_t i);
  void ShowResting(int32_t i);
  void ShowPicture(int32_t i, std::string_view name);
  // Starts (or, for an empty name, removes) item i's overlay; `counted` overlays are click
  // animations the menu waits for.
  void StartOverlay(int32_t i, std::string_view picture, bool repeat, bool counted);
  void RemoveOverlay(int32_t i);
  void OverlayEnded(TNovuPrevImages& overlay);
  void SetHover(int32_t i);
  int32_t ItemAtPointer() const;
  bool PointerOverMenu() const;
  void Finish(int32_t i);
  void DeleteSelf();
  std::vector<std::string> ItemArguments(int32_t i) const;
  void SyncTail(Serializer& s);
  // One saved flag array: an int32 count and a byte per item, in records of `since` or later.
  void SyncFlags(Serializer& s, size_t slot, int32_t since, const std::vector<uint8_t>& current,
                 std::vector<uint8_t>& loaded);

  ImageEnvironment env_;
  std::string source_;
  bool auto_scrap_ = false;
  bool rclick_scrap_ = false;
  bool paused_ = false;
  std::string on_select_, on_map_in_, on_map_out_, on_play_end_, on_idle_;

  TContSelList menu_;
  std::vector<TNovuPrevImages*> items_;     // children of the menu, one per record
  std::vector<TNovuPrevImages*> overlays_;  // children too; null while an item has none
  std::vector<bool> counted_;               // the overlay is a click animation waited for
  std::vector<uint8_t> enabled_, visible_, checked_;
  std::vector<TFipoItem*> held_;
  int32_t hovered_ = -1;
  int32_t pressed_ = -1;
  int32_t running_ = 0;
  int32_t clicked_ = -1;  // the item whose click the menu finishes
  std::string loaded_source_;
  std::vector<uint8_t> loaded_enabled_, loaded_visible_, loaded_checked_;
  bool has_loaded_flags_[3] = {};
};

}  // namespace novu

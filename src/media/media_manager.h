#pragma once
// A media manager: creates the items of one kind of medium, owns them, and pauses and resumes
// them together when the window loses or regains the focus and when sound is turned off and on.
#include <memory>
#include <string_view>
#include <vector>

#include "media/media_item.h"

namespace novu::media {

class TMediaManager {
 public:
  virtual ~TMediaManager() = default;

  // The item for `name` (added to the list); throws NovuError when it cannot be opened.
  TDMediaItem* CreateItem(std::string_view name);
  void RemoveItem(TDMediaItem* item);
  void Suspend();
  void Resume();
  void SetEnabled(bool on);
  bool enabled() const { return enabled_; }
  bool suspended() const { return suspended_; }
  size_t item_count() const { return items_.size(); }

 protected:
  virtual std::unique_ptr<TDMediaItem> MakeItem(std::string_view name) = 0;
  // Items are freed before the manager's own members.
  void FreeItems() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TDMediaItem>> items_;
  bool enabled_ = true;
  bool suspended_ = false;
};

}  // namespace novu::media

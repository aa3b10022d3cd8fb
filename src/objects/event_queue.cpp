#include "objects/event_queue.h"

#include <algorithm>

namespace novu {

void MemoryEventQueue::PostEvent(TNovuObject* sender, std::string_view handler,
                                 std::span<const std::string> arguments, uint8_t event_id) {
  entries_.push_back(Entry{std::string(handler), sender, event_id, 0,
                           std::vector<std::string>(arguments.begin(), arguments.end())});
}

int32_t MemoryEventQueue::FindEvent(const TNovuObject* sender, uint8_t event_id) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].sender == sender && entries_[i].event_id == event_id) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void MemoryEventQueue::RemoveObjectEvents(const TNovuObject* sender) {
  if (sender == nullptr) return;
  std::erase_if(entries_, [sender](const Entry& e) { return e.sender == sender && e.level == 0; });
  for (Entry& e : entries_) {
    if (e.sender == sender) e.sender = nullptr;
  }
}

void MemoryEventQueue::RemovePendingEvents(const TNovuObject* sender) {
  if (sender == nullptr) return;
  std::erase_if(entries_, [sender](const Entry& e) { return e.sender == sender && e.level == 0; });
}

}  // namespace novu

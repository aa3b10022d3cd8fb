#pragma once
// The queue of object events waiting for their handler pages. Objects post entries through the
// EventQueue interface; the call manager takes the first pending one between commands and runs
// its handler as a call.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "objects/event_queue.h"

namespace novu {

struct ScriptEvent {
  std::string handler;                // page file name, optionally ":" and a label
  std::optional<std::string> sender;  // name of the object that raised it
  int32_t kind = 0;                   // event property id
  int32_t level = 0;                  // 0 pending, else the level it is handled at
  std::vector<std::string> args;
  const TNovuObject* object = nullptr;  // the sender while it exists
  uint64_t serial = 0;                  // tells entries apart for as long as the queue lives
};

class ScriptEventQueue final : public EventQueue {
 public:
  void Post(ScriptEvent event) {
    event.serial = ++last_serial_;
    events_.push_back(std::move(event));
  }
  // True when the entry of that serial had a sender object that has since been deleted.
  bool SenderDeleted(uint64_t serial) const;
  ScriptEvent* FirstPending();
  void Remove(const ScriptEvent* event);
  void RemoveLevel(int32_t level);
  void RemoveHandled();
  void Clear() override { events_.clear(); }
  // Takes the entries of `other` (a queue restored beside this one) in place of its own; they
  // get serials of this queue.
  void TakeEntries(ScriptEventQueue&& other);
  size_t size() const { return events_.size(); }
  const std::deque<ScriptEvent>& entries() const { return events_; }

  // ---- EventQueue, for the objects ----
  void PostEvent(TNovuObject* sender, std::string_view handler,
                 std::span<const std::string> arguments, uint8_t event_id) override;
  int32_t FindEvent(const TNovuObject* sender, uint8_t event_id) const override;
  void RemoveObjectEvents(const TNovuObject* sender) override;
  void RemovePendingEvents(const TNovuObject* sender) override;

 private:
  std::deque<ScriptEvent> events_;
  uint64_t last_serial_ = 0;
};

}  // namespace novu

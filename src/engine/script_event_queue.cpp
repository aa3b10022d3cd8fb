#include "engine/script_event_queue.h"

#include "objects/novu_object.h"

namespace novu {

ScriptEvent* ScriptEventQueue::FirstPending() {
  for (ScriptEvent& e : events_) {
    if (e.level == 0) return &e;
  }
  return nullptr;
}

void ScriptEventQueue::Remove(const ScriptEvent* event) {
  std::erase_if(events_, [event](const ScriptEvent& e) { return &e == event; });
}

void ScriptEventQueue::TakeEntries(ScriptEventQueue&& other) {
  events_ = std::move(other.events_);
  other.events_.clear();
  for (ScriptEvent& e : events_) e.serial = ++last_serial_;
}

void ScriptEventQueue::RemoveLevel(int32_t level) {
  std::erase_if(events_, [level](const ScriptEvent& e) { return e.level == level; });
}

void ScriptEventQueue::RemoveHandled() {
  std::erase_if(events_, [](const ScriptEvent& e) { return e.level != 0; });
}

void ScriptEventQueue::PostEvent(TNovuObject* sender, std::string_view handler,
                                 std::span<const std::string> arguments, uint8_t event_id) {
  ScriptEvent event;
  event.handler = handler;
  if (sender != nullptr) event.sender = sender->name();
  event.kind = event_id;
  event.args.assign(arguments.begin(), arguments.end());
  event.object = sender;
  Post(std::move(event));
}

bool ScriptEventQueue::SenderDeleted(uint64_t serial) const {
  for (const ScriptEvent& e : events_) {
    if (e.serial == serial) return e.sender && e.object == nullptr;
  }
  return false;
}

int32_t ScriptEventQueue::FindEvent(const TNovuObject* sender, uint8_t event_id) const {
  for (size_t i = 0; i < events_.size(); ++i) {
    if (events_[i].object == sender && events_[i].kind == event_id) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void ScriptEventQueue::RemoveObjectEvents(const TNovuObject* sender) {
  std::erase_if(events_,
                [sender](const ScriptEvent& e) { return e.object == sender && e.level == 0; });
  for (ScriptEvent& e : events_) {
    if (e.object == sender) e.object = nullptr;
  }
}

void ScriptEventQueue::RemovePendingEvents(const TNovuObject* sender) {
  if (sender == nullptr) return;
  std::erase_if(events_,
                [sender](const ScriptEvent& e) { return e.object == sender && e.level == 0; });
}

}  // namespace novu

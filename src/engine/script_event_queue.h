#pragma once
// The queue of object events waiting for their handler pages. Objects post entries; the call
// manager takes the first pending one between commands and runs its handler as a call.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace novu {

struct ScriptEvent {
  std::string handler;                // page file name, optionally ":" and a label
  std::optional<std::string> sender;  // name of the object that raised it
  int32_t kind = 0;                   // event property id
  int32_t level = 0;                  // 0 pending, else the level it is handled at
  std::vector<std::string> args;
};

class ScriptEventQueue {
 public:
  void Post(ScriptEvent event) { events_.push_back(std::move(event)); }
  ScriptEvent* FirstPending() {
    for (ScriptEvent& e : events_) {
      if (e.level == 0) return &e;
    }
    return nullptr;
  }
  void Remove(const ScriptEvent* event) {
    std::erase_if(events_, [event](const ScriptEvent& e) { return &e == event; });
  }
  void RemoveLevel(int32_t level) {
    std::erase_if(events_, [level](const ScriptEvent& e) { return e.level == level; });
  }
  void RemoveHandled() {
    std::erase_if(events_, [](const ScriptEvent& e) { return e.level != 0; });
  }
  void Clear() { events_.clear(); }
  size_t size() const { return events_.size(); }

 private:
  std::deque<ScriptEvent> events_;
};

}  // namespace novu

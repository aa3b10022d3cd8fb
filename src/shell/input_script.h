#pragma once
// Scripted input for headless runs: one event a line, "TICK EVENT ARGS", delivered before tick
// TICK (ticks count from 1):
//   move X Y | down X Y left|right | up X Y left|right | click X Y left|right
//   wheel up|down | keydown VK | keyup VK | key VK | text UTF8-TEXT
// "click" and "key" release before tick TICK+1, ahead of the events written for that tick.
// "text" types the rest of the line (after one blank, '#' included) as committed text.
// "#" starts a comment elsewhere. VK is decimal or 0x hex.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window.h"

namespace novu {

struct ScriptedEvent {
  int64_t tick = 0;
  platform::InputEvent event;
  bool auto_release = false;  // the release of a click or key; comes first in its tick
};

class InputScript {
 public:
  // Raises std::invalid_argument naming the line for a malformed script.
  static InputScript Parse(std::string_view text);

  // Appends the events due before `tick` that were not delivered yet.
  void TakeDue(int64_t tick, std::vector<platform::InputEvent>& out);
  const std::vector<ScriptedEvent>& events() const { return events_; }

 private:
  std::vector<ScriptedEvent> events_;  // sorted by tick, stable
  size_t next_ = 0;
};

}  // namespace novu

#pragma once
// The saved form of the event queue inside the object list's saved state: per entry the
// handler, the sender's name (empty when it no longer exists), the event id, the level it is
// handled at (0 while pending) and the arguments.
#include <cstdint>

#include "objects/base_list.h"

namespace novu {

class ScriptEventQueue;

void SaveEventQueue(const ScriptEventQueue& queue, const TNovuBaseList& objects, BinaryWriter& out);
// Replaces the queue's entries. Senders are looked up by name once the objects are loaded; an
// empty name is an entry without sender, never the shown screen. Malformed data throws
// NovuError and leaves the queue empty.
void LoadEventQueue(ScriptEventQueue& queue, const TNovuBaseList& objects, BinaryReader& in,
                    int32_t version);

// The interpreter's queue, saved inside the object list's state.
class ScriptEventQueueStreamer final : public TNovuBaseList::EventQueueStreamer {
 public:
  ScriptEventQueueStreamer(ScriptEventQueue& queue, const TNovuBaseList& objects)
      : queue_(queue), objects_(objects) {}
  void SaveQueue(BinaryWriter& out) const override { SaveEventQueue(queue_, objects_, out); }
  void LoadQueue(BinaryReader& in, int32_t version) override {
    LoadEventQueue(queue_, objects_, in, version);
  }

 private:
  ScriptEventQueue& queue_;
  const TNovuBaseList& objects_;
};

}  // namespace novu

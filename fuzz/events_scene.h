#pragma once
// The input layout of the timed-scene fuzz target: one byte choosing the save version, then the
// object list's record for a 64 x 48 screen, whose loose components are timers and property
// motions and whose event queue is the interpreter's.
#include <memory>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/event_queue_stream.h"
#include "engine/script_event_queue.h"
#include "objects/base_list.h"
#include "objects/object_factory.h"
#include "objects/plain_objects.h"
#include "objects_stream.h"

namespace novu::fuzz {

inline std::unique_ptr<TNovuObject> MakeTimedObject(ObjectList& list, uint8_t type) {
  if (auto object = MakeScriptObject(list, type)) return object;
  return MakePlainObject(list, type);
}

struct TimedScene {
  TimedScene() : list(MakeTimedObject) {
    list.SetSize(64, 48);
    state.frame_delta = 15;
    list.SetProcessState(&state);
    list.SetEventQueue(&events, &streamer);
  }
  ~TimedScene() { list.SetEventQueue(nullptr); }
  TimedScene(const TimedScene&) = delete;
  TimedScene& operator=(const TimedScene&) = delete;

  ProcessState state;
  ScriptEventQueue events;
  TNovuBaseList list;
  ScriptEventQueueStreamer streamer{events, list};
};

}  // namespace novu::fuzz

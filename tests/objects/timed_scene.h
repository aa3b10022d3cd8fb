#pragma once
// The player's object list with timers and property motions, a clock the test moves by hand and
// panels from the base-list scene as targets.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base_list_fixtures.h"
#include "core/process_state.h"
#include "objects/novu_timer.h"
#include "objects/object_factory.h"
#include "objects/prop_motion.h"

namespace novu::testing {

inline std::unique_ptr<TNovuObject> MakeTimedSceneObject(ObjectList& list, uint8_t type) {
  if (auto object = MakeScriptObject(list, type)) return object;
  return MakeSceneObject(list, type);
}

struct TimedScene {
  TimedScene() : list(MakeTimedSceneObject) {
    list.SetSize(320, 240);
    list.SetProcessState(&state);
  }

  template <typename T>
  T& Create(const std::string& name) {
    std::unique_ptr<TNovuObject> object = list.CreateByType(T(nullptr).GetType());
    T& typed = dynamic_cast<T&>(*object);
    list.AdoptRoot(std::move(object));
    typed.SetName(name);
    return typed;
  }
  Panel& AddPanel(const std::string& name) {
    Panel& p = list.AddTo<Panel>(list.base(0));
    p.SetName(name);
    p.SetBounds(10, 10, 20, 20);
    return p;
  }
  // Moves the clock by `delta` ms and runs the update pass.
  void Frame(int32_t delta) {
    state.game_clock += delta;
    state.frame_delta = delta;
    list.Update();
  }
  std::vector<MemoryEventQueue::Entry>& events() { return list.queue().entries(); }
  bool Exists(const TNovuObject* object) const { return list.IsRegistered(object); }

  ProcessState state;
  TNovuBaseList list;
};

}  // namespace novu::testing

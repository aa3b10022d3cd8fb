#pragma once
// The world the saved-game fuzz target loads into: pages assembled from text, an object list
// with the timers, motions and plain controls, a variable table, the event queue and the
// interpreter, ticked as the frame loop ticks them.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "authoring/page_text.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/event_queue_stream.h"
#include "engine/game_save.h"
#include "engine/game_save_tables.h"
#include "engine/script_event_queue.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "objects/object_factory.h"
#include "objects/plain_objects.h"
#include "platform/error.h"

namespace novu::fuzz {

inline std::unique_ptr<TNovuObject> MakeSavedGameObject(ObjectList& list, uint8_t type) {
  if (auto object = MakeScriptObject(list, type)) return object;
  return MakePlainObject(list, type);
}

struct SavedGameWorld : CallManHost {
  std::map<std::string, std::vector<uint8_t>, std::less<>> pages;
  ProcessState state;
  ScriptEventQueue events;
  TParamCollection vars;
  TNovuBaseList list{MakeSavedGameObject};
  ScriptEventQueueStreamer streamer{events, list};
  std::unique_ptr<TCallMan> calls;
  EmptyHistoryBlock history;
  TDBManager game_tables;
  DataTablesBlock tables{game_tables};

  SavedGameWorld() {
    pages["main.nsb"] = AssemblePage(R"(VarNew "n" type=int value=`1`
BoxNew PR_NAME=`"b"` PR_LEFT=`4`
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"tick.nsb"` PR_DELAY=`45`
PropMotion `"m"` `"b"` `3` `40` `600` `1`
Call "sub.nsb" args=[ `"x"` ]
Exit
)",
                                     "main.nsb");
    pages["sub.nsb"] = AssemblePage(R"(VarNew "loc" type=string value=`@ParamStr[0]` scope=local
Wait time=`300`
Calc `n = n + 1`
)",
                                    "sub.nsb");
    pages["tick.nsb"] = AssemblePage("Calc `n = n * 2`\nWait time=`30`\n", "tick.nsb");
    list.SetSize(32, 24);
    list.SetProcessState(&state);
    list.SetEventQueue(&events, &streamer);
    calls = std::make_unique<TCallMan>(vars, state, events, *this);
    calls->Start("main.nsb");
  }
  ~SavedGameWorld() override {
    list.SetEventQueue(nullptr);
    calls.reset();
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      state.game_clock += 15;
      state.frame_delta = 15;
      calls->Run();
      list.Update();
    }
  }
  GameWorld World() { return {&list, events, *calls, vars, history, tables}; }
  std::vector<uint8_t> Save() { return WriteGameSave(World(), GameSaveHeader{}); }

  bool FileAvailable(std::string_view name) override { return pages.contains(name); }
  std::vector<uint8_t> LoadPageFile(std::string_view name) override {
    auto it = pages.find(name);
    if (it == pages.end()) throw NovuError(std::string(name) + ":missing");
    return it->second;
  }
  void PageNeedsRebuild(std::string_view /*name*/) override {}
  TNovuBaseList* Objects() override { return &list; }
};

}  // namespace novu::fuzz

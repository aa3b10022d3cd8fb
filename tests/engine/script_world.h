#pragma once
// A small interpreter set-up for tests: pages assembled from page text, a variable table, a
// 15 ms virtual clock and an event queue.
#include <climits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "authoring/page_text.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/script_variable_host.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu::test {

struct ScriptWorld : CallManHost {
  std::map<std::string, std::vector<uint8_t>, std::less<>> files;
  TParamCollection vars;
  ProcessState state;
  ScriptEventQueue events;
  std::vector<std::string> rebuilds;
  int close_requests = 0;
  std::vector<std::string> trace;
  std::unique_ptr<TCallMan> calls;
  std::unique_ptr<ScriptVariableHost> host;

  ~ScriptWorld() override { vars.SetHost(nullptr); }

  void Page(const std::string& name, std::string_view text) {
    files[name] = AssemblePage(text, name);
  }
  void Start(const std::string& name) {
    state.terminate = false;
    calls = std::make_unique<TCallMan>(vars, state, events, *this);
    calls->SetTraceSink([this](std::string_view line) { trace.emplace_back(line); });
    host = std::make_unique<ScriptVariableHost>(*calls, SystemVariableHost::Default());
    vars.SetHost(host.get());
    calls->Start(name);
  }
  void Tick() {
    state.game_clock += 15;
    state.frame_delta = 15;
    calls->Run();
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) Tick();
  }
  int32_t Int(std::string_view name) const {
    const TParamCollectionItem* item = vars.Find(name);
    return item ? item->value().GetAsInt() : INT_MIN;
  }
  std::string Str(std::string_view name) const {
    const TParamCollectionItem* item = vars.Find(name);
    return item ? item->value().GetAsStr() : "<missing>";
  }
  bool Has(std::string_view name) const { return vars.Find(name) != nullptr; }

  bool FileAvailable(std::string_view name) override { return files.contains(name); }
  std::vector<uint8_t> LoadPageFile(std::string_view name) override {
    auto it = files.find(name);
    if (it == files.end()) throw NovuError(std::string(name) + ":missing");
    return it->second;
  }
  void PageNeedsRebuild(std::string_view name) override { rebuilds.emplace_back(name); }
  void RequestClose() override { ++close_requests; }
};

}  // namespace novu::test

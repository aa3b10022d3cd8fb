// Interpreter throughput: a tight While loop of Calc commands (x = x + i, i = i + 1, a million
// times) against the same loop in Lua 5.4 with global variables, the usual yardstick for
// scripting engines. Also the time from constructing the demo's project to the end of its first
// tick.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <lua.hpp>

#include "authoring/page_text.h"
#include "authoring/project_description.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/project.h"
#include "expr/param_collection.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "ratio.h"
#include "storage/vr_file_manager.h"

namespace {

constexpr int kIterations = 1000000;

constexpr std::string_view kLoopPage = R"(VarNew "x" type=int
VarNew "i" type=int
top:
While `i < 1000000` exit=@done
  Calc `x = x + i`
  Calc `i = i + 1`
WhileLoop loop=@top
done:
Exit
)";

struct LoopHost : novu::CallManHost {
  std::vector<uint8_t> page = novu::AssemblePage(kLoopPage, "loop.nsb");
  bool FileAvailable(std::string_view) override { return true; }
  std::vector<uint8_t> LoadPageFile(std::string_view) override { return page; }
  void PageNeedsRebuild(std::string_view) override {}
};

void BM_InterpreterWhileLoop(benchmark::State& bench) {
  LoopHost host;
  for (auto _ : bench) {
    novu::TParamCollection vars;
    novu::ProcessState state;
    state.terminate = false;
    novu::ScriptEventQueue events;
    novu::TCallMan calls(vars, state, events, host);
    calls.Start("loop.nsb");
    calls.Run();  // every command carries its continue byte: the whole loop runs in one tick
    if (vars.Find("i")->value().GetAsInt() != kIterations) bench.SkipWithError("loop did not end");
  }
}
BENCHMARK(BM_InterpreterWhileLoop)->Unit(benchmark::kMillisecond);

void BM_LuaWhileLoop(benchmark::State& bench) {
  for (auto _ : bench) {
    lua_State* lua = luaL_newstate();
    luaL_dostring(lua, "x = 0 i = 0 while i < 1000000 do x = x + i i = i + 1 end");
    lua_getglobal(lua, "i");
    if (lua_tointeger(lua, -1) != kIterations) bench.SkipWithError("loop did not end");
    lua_close(lua);
  }
}
BENCHMARK(BM_LuaWhileLoop)->Unit(benchmark::kMillisecond);

NOVU_RATIO("Interpreter/Lua", "BM_InterpreterWhileLoop", "BM_LuaWhileLoop", 5.0);

// The demo's files, assembled from its sources once.
std::vector<std::pair<std::string, std::vector<uint8_t>>> DemoFiles() {
  namespace fs = std::filesystem;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  const fs::path demo = fs::path(NOVU_SOURCE_DIR) / "demo";
  auto text = [](const fs::path& p) {
    auto bytes = novu::platform::ReadWholeFile(p);
    return std::string(bytes->begin(), bytes->end());
  };
  files.emplace_back("novu.npb",
                     novu::ParseProjectDescription(text(demo / "project.txt")).Serialize());
  for (const auto& item : fs::directory_iterator(demo)) {
    if (item.path().extension() != ".nst") continue;
    const std::string name = item.path().stem().string() + ".nsb";
    files.emplace_back(name, novu::AssemblePage(text(item.path()), name));
  }
  return files;
}

void BM_DemoLaunchToFirstTick(benchmark::State& bench) {
  const auto files = DemoFiles();
  novu::platform::HeadlessMessageBoxes boxes;
  for (auto _ : bench) {
    novu::TVrFileManager vfs{std::vector<std::filesystem::path>{}};
    vfs.AddArchive("");
    for (const auto& [name, data] : files) {
      vfs.Collection(0).AddMemoryEntry(name).Memory()->Bytes() = data;
    }
    novu::ProcessState state;
    novu::TParamCollection vars;
    novu::ProjectEnvironment env(state, vfs, boxes);
    env.vars = &vars;
    auto project = std::make_unique<novu::TProject>(std::move(env));
    state.game_clock = state.frame_delta = 15;
    project->RunScripts();
    bench.PauseTiming();  // closing (the exit page) is not part of the start
    state.terminate = true;
    project.reset();
    bench.ResumeTiming();
  }
}
BENCHMARK(BM_DemoLaunchToFirstTick)->Unit(benchmark::kMicrosecond);

}  // namespace

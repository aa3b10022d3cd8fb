// Saving and loading a game of 200 boxes made by a script: the whole save (the entry written and
// packed into the save archive) against zlib deflating the same entry bytes, and the whole load
// (the archive opened, the entry inflated, read beside the game and swapped in) against zlib
// inflating the same stored bytes. Both anchors are the compression alone, the floor under
// any save file that is compressed.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <unistd.h>

#include <filesystem>

#include "authoring/page_text.h"
#include "controls/control_factory.h"
#include "core/process_state.h"
#include "engine/call_man.h"
#include "engine/event_queue_stream.h"
#include "engine/game_save.h"
#include "engine/game_save_tables.h"
#include "engine/script_event_queue.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "platform/error.h"
#include "ratio.h"
#include "storage/big_stream.h"
#include "storage/vr_file_collection.h"

namespace {

using namespace novu;
namespace fs = std::filesystem;

constexpr int kObjects = 200;

constexpr std::string_view kScenePage = R"(VarNew "i" type=int
VarNew "label" type=string value=`"two hundred boxes"`
top:
While `i < 200` exit=@done
  WhileInit `i = i + 1`
  BoxNew PR_NAME=`"b" ++ i` PR_LEFT=`i` PR_TOP=`i % 50` PR_WIDTH=`20` PR_HEIGHT=`10` PR_COLOR=`i * 4099`
WhileLoop loop=@top
done:
Wait time=`100000`
)";

// A running game of 200 boxes, stopped at the wait after the loop.
struct BoxesGame : CallManHost {
  std::vector<uint8_t> page = AssemblePage(kScenePage, "main.nsb");
  ProcessState state;
  ScriptEventQueue events;
  TParamCollection vars;
  TNovuBaseList list{MakeControlFactory(ImageEnvironment{})};
  ScriptEventQueueStreamer streamer{events, list};
  std::unique_ptr<TCallMan> calls;
  EmptyHistoryBlock history;
  TDBManager game_tables;
  DataTablesBlock tables{game_tables};

  BoxesGame() {
    list.SetSize(640, 480);
    list.SetProcessState(&state);
    list.SetEventQueue(&events, &streamer);
    calls = std::make_unique<TCallMan>(vars, state, events, *this);
    calls->Start("main.nsb");
    state.terminate = false;
    state.game_clock = state.frame_delta = 15;
    calls->Run();
    list.Update();
  }
  ~BoxesGame() override {
    list.SetEventQueue(nullptr);
    calls.reset();
  }
  GameWorld World() { return {&list, events, *calls, vars, history, tables}; }
  int ObjectCount() const { return static_cast<int>(list.registry().size()); }

  bool FileAvailable(std::string_view) override { return true; }
  std::vector<uint8_t> LoadPageFile(std::string_view) override { return page; }
  void PageNeedsRebuild(std::string_view) override {}
  TNovuBaseList* Objects() override { return &list; }
};

// What the player writes for one slot: the entry, packed as the archive packs it.
std::vector<uint8_t> SaveArchive(BoxesGame& game) {
  GameSaveHeader header;
  header.caption = "bench";
  const std::vector<uint8_t> entry = WriteGameSave(game.World(), header);
  TVrFileCollection save;
  save.AddMemoryEntry(GameSaveEntryName(1))
      .Memory()
      ->Write(entry.data(), static_cast<int64_t>(entry.size()));
  TKxBigMemoryStream out;
  save.WriteTo(out);
  return out.Bytes();
}

std::vector<uint8_t> ZlibDeflate(std::span<const uint8_t> data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

// The save file of the game, on disk for the loads.
struct SavedBoxes {
  BoxesGame game;
  fs::path path = fs::temp_directory_path() / ("novu_bench_save_" + std::to_string(getpid()));
  std::vector<uint8_t> entry;
  std::vector<uint8_t> stored;  // the entry as it lies in the archive
  SavedBoxes() {
    TKxBigMemoryStream archive;
    archive.Bytes() = SaveArchive(game);
    archive.SaveToFile(path);
    TVrFileCollection save;
    save.Open(path);
    entry = save.Extract(GameSaveEntryName(1));
    stored = save.ReadStoredBytes(*save.FindEntry(GameSaveEntryName(1)));
  }
  ~SavedBoxes() {
    std::error_code ec;
    fs::remove(path, ec);
  }
};

bool HasTheBoxes(benchmark::State& bench, const BoxesGame& game) {
  if (game.ObjectCount() >= kObjects) return true;
  bench.SkipWithError("the scene lacks its boxes");
  return false;
}

void BM_GameSave200Objects(benchmark::State& bench) {
  BoxesGame game;
  if (!HasTheBoxes(bench, game)) return;
  for (auto _ : bench) benchmark::DoNotOptimize(SaveArchive(game));
}
BENCHMARK(BM_GameSave200Objects)->Unit(benchmark::kMicrosecond);

void BM_ZlibDeflateSaveBytes(benchmark::State& bench) {
  BoxesGame game;
  const std::vector<uint8_t> entry = WriteGameSave(game.World(), GameSaveHeader{});
  bench.counters["entry_bytes"] = static_cast<double>(entry.size());
  for (auto _ : bench) benchmark::DoNotOptimize(ZlibDeflate(entry));
}
BENCHMARK(BM_ZlibDeflateSaveBytes)->Unit(benchmark::kMicrosecond);

void BM_GameLoad200Objects(benchmark::State& bench) {
  SavedBoxes saved;
  if (!HasTheBoxes(bench, saved.game)) return;
  for (auto _ : bench) {
    TVrFileCollection save;
    save.Open(saved.path);
    const std::vector<uint8_t> entry = save.Extract(GameSaveEntryName(1));
    GameWorld world = saved.game.World();
    LoadGameSave(world, entry);
  }
  HasTheBoxes(bench, saved.game);
}
BENCHMARK(BM_GameLoad200Objects)->Unit(benchmark::kMicrosecond);

void BM_ZlibInflateSaveBytes(benchmark::State& bench) {
  SavedBoxes saved;
  std::vector<uint8_t> out(saved.entry.size());
  for (auto _ : bench) {
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &size, saved.stored.data(),
                   static_cast<uLong>(saved.stored.size())) != Z_OK ||
        size != out.size()) {
      bench.SkipWithError("the stored entry is not the zlib stream of the entry");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ZlibInflateSaveBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

NOVU_RATIO("GameSave-200-objects/zlib-deflate-same-bytes", "BM_GameSave200Objects",
           "BM_ZlibDeflateSaveBytes", 2);
NOVU_RATIO("GameLoad-200-objects/zlib-inflate-same-bytes", "BM_GameLoad200Objects",
           "BM_ZlibInflateSaveBytes", 3);

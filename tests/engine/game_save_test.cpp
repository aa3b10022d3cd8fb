// Saving and loading games: the slots of save.dat, the round trip of a running scene, and saves
// that cannot be used (old, newer, damaged), which change nothing in the running game.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "authoring/page_text.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/event_queue_stream.h"
#include "engine/game_save.h"
#include "engine/game_save_tables.h"
#include "engine/project.h"
#include "expr/param_collection.h"
#include "objects/base_list.h"
#include "objects/object_factory.h"
#include "objects/plain_objects.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "script_world.h"
#include "storage/vr_file_collection.h"
#include "temp_folder.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<TNovuObject> MakeSceneObject(ObjectList& list, uint8_t type) {
  if (auto object = MakeScriptObject(list, type)) return object;
  return MakePlainObject(list, type);
}

struct CountingBoxes : platform::MessageBoxService {
  std::vector<std::string> texts;
  platform::MessageResult Show(std::string_view, std::string_view text, platform::MessageButtons,
                               platform::MessageIcon) override {
    texts.emplace_back(text);
    return platform::MessageResult::Ok;
  }
};

// The scene: a box moved by a motion, a timer whose handler counts, a call with a local and its
// argument, waits in the callee, a save in slot 3 when `cap` is set.
constexpr std::string_view kMain = R"(Jump "loader.nsb" if=`load`
VarNew "hits" type=int
VarNew "steps" type=int
BoxNew PR_NAME=`"b"` PR_LEFT=`0`
Timer PR_NAME=`"t"` PR_ONNOTIFY=`"tick.nsb"` PR_DELAY=`75`
PropMotion `"m"` `"b"` `3` `300` `1500` `0`
Call "sub.nsb" args=[ `"7"` ]
Calc `steps = steps + 1000`
Exit
)";
constexpr std::string_view kSub = R"(VarNew "inner" type=string value=`@ParamStr[0]` scope=local
Wait time=`150`
GameSave `3` caption=`cap`
Wait time=`90`
Calc `steps = steps + 1`
Wait time=`90`
Calc `steps = steps + 1`
Wait time=`90`
Calc `steps = steps + 10`
)";
constexpr std::string_view kTick = "Calc `hits = hits + 1`\n";
constexpr std::string_view kLoader = "GameLoad `slot`\nWait time=`100000`\n";

// One run of a game with an object list, as the player's tick drives it.
struct Session {
  explicit Session(const fs::path& folder) : list(MakeSceneObject) {
    setting.title = "T";
    setting.start_page = "main.nsb";
    setting.screen_width = 64;
    setting.screen_height = 48;
    setting.variables.push_back({PT_STR, "cap", 0, 0, false, {}});
    setting.variables.push_back({PT_BOOL, "load", 0, 0, false, {}});
    setting.variables.push_back({PT_INT, "slot", 0, 0, false, {}});
    files.AddArchive("");
    Page("main.nsb", kMain);
    Page("sub.nsb", kSub);
    Page("tick.nsb", kTick);
    Page("loader.nsb", kLoader);
    list.SetSize(64, 48);
    list.SetProcessState(&state);
    folder_ = folder;
  }
  ~Session() {
    Close();
    vars.SetHost(nullptr);
  }
  void Page(const std::string& name, std::string_view text) {
    files.Collection(0).AddMemoryEntry(name).Memory()->Bytes() = AssemblePage(text, name);
  }
  // Starts the project with the status variables given.
  void Start(std::string_view caption, bool load = false, int32_t slot = 3) {
    files.Collection(0).AddMemoryEntry("novu.npb").Memory()->Bytes() = setting.Serialize();
    ProjectEnvironment env(state, files, boxes, &host);
    env.vars = &vars;
    env.argument_folder = folder_;
    env.program_folder = folder_;
    env.objects = &list;
    project = std::make_unique<TProject>(std::move(env));
    streamer = std::make_unique<ScriptEventQueueStreamer>(project->events(), list);
    list.SetEventQueue(&project->events(), streamer.get());
    vars.Find("cap")->value().SetAsStr(caption);
    vars.Find("load")->value().SetAsBool(load);
    vars.Find("slot")->value().SetAsInt(slot);
  }
  void Close() {
    if (!project) return;
    list.SetEventQueue(nullptr);
    streamer.reset();
    project.reset();
  }
  // Ticks as the frame loop runs them; true when the last one loaded a game.
  bool Ticks(int n) {
    bool loaded = false;
    for (int i = 0; i < n && !state.terminate; ++i) {
      state.game_clock += 15;
      state.frame_delta = 15;
      project->RunScripts();
      list.Update();
      loaded = project->RunPendingSaveLoad();
    }
    return loaded;
  }
  // One tick; `before` and `after` get the world just before and after the pending request runs.
  bool TickAround(std::vector<uint8_t>& before, std::vector<uint8_t>& after) {
    state.game_clock += 15;
    state.frame_delta = 15;
    project->RunScripts();
    list.Update();
    before = World();
    const bool loaded = project->RunPendingSaveLoad();
    after = World();
    return loaded;
  }
  // Everything a save holds, written as a save of it.
  std::vector<uint8_t> World() {
    EmptyHistoryBlock history;
    DataTablesBlock tables{project->tables()};
    GameWorld world{&list, project->events(), *project->calls(), vars, history, tables};
    return WriteGameSave(world, GameSaveHeader{});
  }
  int32_t Int(std::string_view name) const {
    const TParamCollectionItem* item = vars.Find(name);
    return item ? item->value().GetAsInt() : -1;
  }
  fs::path SaveFile() const { return folder_ / "save.dat"; }

  fs::path folder_;
  TVrFileManager files;
  CountingBoxes boxes;
  ProcessState state;
  TParamCollection vars;
  TProjectSetting setting;
  TNovuBaseList list;
  std::unique_ptr<TProject> project;
  std::unique_ptr<ScriptEventQueueStreamer> streamer;
  std::vector<std::string> notices;
  struct NoticeHost final : ProjectHost {
    std::vector<std::string>& notices;
    explicit NoticeHost(std::vector<std::string>& n) : notices(n) {}
    void Notice(std::string_view text) override { notices.emplace_back(text); }
  } host{notices};
};

std::vector<uint8_t> SlotEntry(const fs::path& save, int32_t slot) {
  TVrFileCollection collection;
  collection.Open(save);
  return collection.Extract(GameSaveEntryName(slot));
}

void PutSlot(const fs::path& save, int32_t slot, const std::vector<uint8_t>& entry) {
  TVrFileCollection collection;
  collection.Open(save);
  collection.Remove(GameSaveEntryName(slot));
  collection.AddMemoryEntry(GameSaveEntryName(slot))
      .Memory()
      ->Write(entry.data(), static_cast<int64_t>(entry.size()));
  collection.SaveToFile(save);
}

// Tick 11 runs the GameSave (the first wait ends there) and the timer fires in it too, so its
// restored clock matches.
constexpr int kSaveTick = 11;
constexpr int kAfter = 25;

TEST(GameSave, LoadedGameGoesOnExactlyAsTheGameThatNeverSaved) {
  TempFolder folder;
  std::vector<uint8_t> never_saved;
  {
    Session a(folder.path());
    a.Start("");
    a.Ticks(kSaveTick + kAfter);
    never_saved = a.World();
    EXPECT_GT(a.Int("hits"), 3);
    EXPECT_EQ(a.Int("steps"), 1012);
  }
  fs::remove(folder.path() / "save.dat");
  {
    Session saver(folder.path());
    saver.Start("slot three");
    saver.Ticks(kSaveTick);
    ASSERT_EQ(saver.project->save_captions().at(3), "slot three");
    EXPECT_TRUE(saver.notices.empty());
  }
  Session b(folder.path());
  b.Start("", true);
  EXPECT_EQ(b.project->save_captions().at(3), "slot three");
  ASSERT_TRUE(b.Ticks(1));
  EXPECT_EQ(b.project->calls()->current_page()->name(), "sub.nsb");
  EXPECT_EQ(b.project->calls()->StackHeight(), 1u);
  b.Ticks(kAfter);
  EXPECT_EQ(b.World(), never_saved);
  EXPECT_EQ(b.Int("steps"), 1012);
  EXPECT_TRUE(b.boxes.texts.empty());
}

TEST(GameSave, SavingASlotTwiceKeepsOneEntryWithTheNewerCaption) {
  TempFolder folder;
  Session s(folder.path());
  s.Page("main.nsb",
         "GameSave `0` caption=`\"first\"`\nWait time=`30`\nGameSave `0` caption=`\"second\"`\n"
         "Wait time=`30`\nGameSave `1` caption=`\"\"`\nWait time=`1000`\n");
  s.Start("");
  s.Ticks(1);
  EXPECT_EQ(s.project->save_captions().at(0), "first");
  s.Ticks(8);
  ASSERT_EQ(s.project->save_captions().size(), 1u);
  EXPECT_EQ(s.project->save_captions().at(0), "second");
  TVrFileCollection save;
  save.Open(s.SaveFile());
  int slots = 0;
  for (int i = 0; i < save.Count(); ++i) slots += GameSaveSlotOf(save.Entry(i).Name()) ? 1 : 0;
  EXPECT_EQ(slots, 1);
  EXPECT_EQ(ReadGameSaveCaption(save.Extract(GameSaveEntryName(0))), "second");
  EXPECT_NE(save.FindEntry(kStatusEntryName), nullptr);  // stored with the save
}

TEST(GameSave, ResumePageContinuesThereAndReturnsToTheSavedPosition) {
  constexpr std::string_view kSaver =
      "Jump \"loader.nsb\" if=`load`\nVarNew \"where\" type=int\n"
      "GameSave `3` page=\"other.nsb\" index=2 caption=`cap`\nWait time=`30`\n"
      "Calc `where = where + 100`\nExit\n";
  constexpr std::string_view kOther =
      "Calc `where = 1`\nCalc `where = 2`\nCalc `where = where + 10`\n";
  TempFolder folder;
  {
    Session saver(folder.path());
    saver.Page("main.nsb", kSaver);
    saver.Page("other.nsb", kOther);
    saver.Start("resume");
    saver.Ticks(1);
  }
  Session b(folder.path());
  b.Page("main.nsb", kSaver);
  b.Page("other.nsb", kOther);
  b.Start("", true);
  b.Ticks(1);
  EXPECT_EQ(b.project->calls()->current_page()->name(), "other.nsb");
  EXPECT_EQ(b.project->calls()->index(), 2);
  EXPECT_EQ(b.project->calls()->StackHeight(), 1u);
  b.Ticks(5);
  // Command 2 ran on the saved value, then the page's end returned to the wait and beyond it.
  EXPECT_EQ(b.Int("where"), 110);
}

TEST(GameSave, AMissingSlotChangesNothing) {
  TempFolder folder;
  Session s(folder.path());
  s.Start("", false, 9);
  s.Ticks(3);
  s.vars.Find("load")->value().SetAsBool(true);
  s.project->calls()->Start("loader.nsb");
  std::vector<uint8_t> before, after;
  EXPECT_TRUE(s.TickAround(before, after));
  EXPECT_FALSE(s.state.terminate);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(s.boxes.texts.empty());
}

// A session at work, with slot 3 saved and slot 1 holding `entry`: loading slot 1 must refuse
// it (when `refused`), say why and leave everything as it was; slot 3 still loads afterwards.
struct RefusalCheck {
  TempFolder folder;
  std::vector<uint8_t> good;

  RefusalCheck() {
    Session saver(folder.path());
    saver.Start("good");
    saver.Ticks(kSaveTick);
    good = SlotEntry(saver.SaveFile(), 3);
  }
  // The messages shown; empty when the entry loaded.
  std::vector<std::string> Load(const std::vector<uint8_t>& entry, bool* changed = nullptr,
                                std::string_view sub_page = kSub) {
    PutSlot(folder.path() / "save.dat", 1, entry);
    Session s(folder.path());
    s.Page("sub.nsb", sub_page);
    s.Start("", false, 1);
    s.Ticks(5);
    s.vars.Find("load")->value().SetAsBool(true);
    s.project->calls()->Start("loader.nsb");
    std::vector<uint8_t> before, after;
    s.TickAround(before, after);
    if (changed != nullptr) *changed = after != before;
    if (s.boxes.texts.empty()) return {};
    EXPECT_TRUE(s.state.terminate);
    EXPECT_EQ(after, before);
    const std::vector<std::string> texts = s.boxes.texts;
    if (sub_page != kSub) return texts;
    // The other slot is still there to be loaded.
    s.state.terminate = false;
    s.vars.Find("slot")->value().SetAsInt(3);
    s.project->calls()->Start("loader.nsb");
    EXPECT_TRUE(s.Ticks(1));
    EXPECT_EQ(s.project->calls()->current_page()->name(), "sub.nsb");
    EXPECT_EQ(s.boxes.texts, texts);
    return texts;
  }
};

std::vector<uint8_t> WithVersion(std::vector<uint8_t> entry, int32_t version) {
  BinaryWriter v;
  v.I32(version);
  std::copy(v.bytes().begin(), v.bytes().end(), entry.begin());
  return entry;
}

TEST(GameSave, OldAndNewerVersionsAreRefusedWithTheirMessages) {
  RefusalCheck check;
  const std::string old_message = Jp(kOldSaveMessage);
  const std::string unusable = Jp(kUnusableSaveMessage);
  EXPECT_EQ(check.Load(WithVersion(check.good, 106)),
            (std::vector<std::string>{old_message, unusable}));
  EXPECT_EQ(check.Load(WithVersion(check.good, 140)), (std::vector<std::string>{unusable}));
  EXPECT_EQ(check.Load(WithVersion(check.good, 139)), (std::vector<std::string>{}));
}

TEST(GameSave, HostileEntriesAreRefusedAndChangeNothing) {
  RefusalCheck check;
  const std::string unusable = Jp(kUnusableSaveMessage);
  for (size_t cut = 0; cut < check.good.size(); cut += 64) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const std::vector<uint8_t> entry(check.good.begin(), check.good.begin() + cut);
    EXPECT_EQ(check.Load(entry), (std::vector<std::string>{unusable}));
  }
  // A flipped bit may still make a usable save; either way nothing breaks and a refused one
  // changed nothing (checked by Load).
  uint32_t seed = 12345;
  for (int i = 0; i < 24; ++i) {
    seed = seed * 1103515245u + 12345u;
    std::vector<uint8_t> entry = check.good;
    const size_t bit = (seed >> 8) % (entry.size() * 8);
    entry[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    check.Load(entry);
  }
}

TEST(GameSave, APageRebuiltSinceTheSaveMakesItUnusableInsteadOfReadingGarbage) {
  RefusalCheck check;
  // The saved position is now a Calc, which keeps no state: the wait's saved state would be
  // read as the variables that follow it.
  const std::string rebuilt(kSub.substr(0, kSub.find("Wait time=`90`")));
  const std::string page = rebuilt + "Calc `steps = 5`\nCalc `steps = 6`\n";
  EXPECT_EQ(check.Load(check.good, nullptr, page),
            (std::vector<std::string>{Jp(kUnusableSaveMessage)}));
}

// The call manager's own checks, on states written by hand.
TEST(GameSave, CallStateCountsAndSizesAreCheckedBeforeAnythingChanges) {
  auto frame = [](BinaryWriter& out, int32_t args, int32_t state_size, uint8_t result) {
    out.String("main.nsb");
    out.I32(0);
    out.Bool(true);
    out.Bool(false);
    out.String({});
    out.I32(args);
    out.String({});
    out.I32(state_size);
    out.U8(result);
  };
  struct Case {
    const char* what;
    std::function<void(BinaryWriter&)> write;
  };
  auto head = [](BinaryWriter& out, int32_t run_state, int32_t args) {
    out.String("main.nsb");
    out.I32(0);
    out.Bool(true);
    out.Bool(true);
    out.I32(run_state);
    out.String({});
    out.I32(args);
  };
  const Case cases[] = {
      {"run state 7", [&](BinaryWriter& o) { head(o, 7, 0); }},
      {"negative argument count", [&](BinaryWriter& o) { head(o, 0, -1); }},
      {"argument count beyond the data", [&](BinaryWriter& o) { head(o, 0, 0x7FFFFFFF); }},
      {"spare frame state size negative",
       [&](BinaryWriter& o) {
         head(o, 0, 0);
         frame(o, 0, -5, 0);
       }},
      {"spare frame state larger than the data",
       [&](BinaryWriter& o) {
         head(o, 0, 0);
         frame(o, 0, 1 << 30, 0);
       }},
      {"result type 9",
       [&](BinaryWriter& o) {
         head(o, 0, 0);
         frame(o, 0, 0, 9);
       }},
      {"frame count beyond the data",
       [&](BinaryWriter& o) {
         head(o, 0, 0);
         frame(o, 0, 0, 0);
         o.I32(0x40000000);
       }},
      {"level beyond the frames",
       [&](BinaryWriter& o) {
         head(o, 0, 0);
         frame(o, 0, 0, 0);
         o.I32(0);
         o.I32(0x7FFFFFFF);
       }},
      {"the wait's state cut short",
       [&](BinaryWriter& o) {
         head(o, 0, 0);
         frame(o, 0, 0, 0);
         o.I32(0);
         o.I32(2);
         o.Bytes(std::string_view("novu100\x05"));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::ScriptWorld w;
    w.Page("main.nsb", "Wait time=`100`\n");
    w.Start("main.nsb");
    w.Ticks(2);
    BinaryWriter before;
    w.calls->SaveToStream(before);
    BinaryWriter out;
    c.write(out);
    BinaryReader in(out.bytes());
    EXPECT_THROW(w.calls->ReadState(
                     in, [](std::string_view) { return true; }, {}, 0),
                 NovuError);
    BinaryWriter after;
    w.calls->SaveToStream(after);
    EXPECT_EQ(after.bytes(), before.bytes());
  }
}

TEST(GameSave, CallStateRoundTripKeepsTheWaitsProgressInTheFrames) {
  test::ScriptWorld w;
  w.Page("main.nsb", "VarNew \"done\" type=int\nWait time=`300`\nCalc `done = 1`\n");
  w.Page("ev.nsb", "Wait time=`60`\n");
  w.Start("main.nsb");
  w.Ticks(3);
  w.events.Post({"ev.nsb", std::nullopt, 33, 0, {}, nullptr, 0});
  w.Tick();  // the handler interrupts the main wait and waits itself
  ASSERT_EQ(w.calls->StackHeight(), 1u);
  BinaryWriter saved;
  w.calls->SaveToStream(saved);

  test::ScriptWorld restored;
  restored.files = w.files;
  restored.Start("main.nsb");
  restored.vars.Declare("done", PT_INT, VarScope::kGlobal, nullptr);
  BinaryReader in(saved.bytes());
  restored.calls->Adopt(restored.calls->ReadState(
      in, [](std::string_view) { return true; }, {}, 0));
  EXPECT_TRUE(in.AtEnd());
  BinaryWriter again;
  restored.calls->SaveToStream(again);
  EXPECT_EQ(again.bytes(), saved.bytes());
  for (int i = 0; i < 30; ++i) {
    w.Tick();
    restored.Tick();
  }
  EXPECT_EQ(restored.Int("done"), w.Int("done"));
  EXPECT_EQ(restored.Int("done"), 1);
}

}  // namespace
}  // namespace novu

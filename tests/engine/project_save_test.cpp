// The project's save file: status data across runs, save-slot captions and the per-user folder
// name.
#include <gtest/gtest.h>

#include <functional>

#include <filesystem>
#include <map>

#include "authoring/page_text.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "engine/install_settings.h"
#include "engine/project.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "storage/vr_file_collection.h"
#include "temp_folder.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

// Game files held in the run-time collection.
struct MemoryFiles {
  TVrFileManager vfs;
  explicit MemoryFiles(std::vector<fs::path> disc_roots = {}) : vfs(std::move(disc_roots)) {
    vfs.AddArchive("");
  }
  void Add(std::string_view name, std::vector<uint8_t> bytes) {
    vfs.Collection(0).AddMemoryEntry(name).Memory()->Bytes() = std::move(bytes);
  }
};

// Cancels a disc request (unless told to accept it) and confirms the exit message that follows.
struct SilentBoxes : platform::MessageBoxService {
  std::vector<std::string> texts;
  bool accept_disc_request = false;
  platform::MessageResult Show(std::string_view, std::string_view text, platform::MessageButtons,
                               platform::MessageIcon) override {
    texts.emplace_back(text);
    return text == Jp("終了します") || accept_disc_request ? platform::MessageResult::Ok
                                                           : platform::MessageResult::Cancel;
  }
};

struct Game {
  explicit Game(std::vector<fs::path> disc_roots = {}) : files(std::move(disc_roots)) {
    setting.title = "T";
    setting.start_page = "main.nsb";
    setting.variables.push_back({PT_INT, "runs", 0, 0, false, {}});
  }

  TempFolder folder;
  MemoryFiles files;
  SilentBoxes boxes;
  ProcessState state;
  TParamCollection vars;
  TDBManager tables;
  TProjectSetting setting;
  std::vector<std::string> notices;
  struct NoticeHost final : ProjectHost {
    std::vector<std::string>& notices;
    explicit NoticeHost(std::vector<std::string>& n) : notices(n) {}
    void Notice(std::string_view text) override { notices.emplace_back(text); }
  } host{notices};
  void Page(const std::string& name, std::string_view text) {
    files.Add(name, AssemblePage(text, name));
  }
  fs::path SaveFile() const { return folder.path() / "save.dat"; }
  std::unique_ptr<TProject> Make() {
    files.Add("novu.npb", setting.Serialize());
    ProjectEnvironment env(state, files.vfs, boxes, &host);
    env.vars = &vars;
    env.tables = &tables;
    env.argument_folder = folder.path();
    env.program_folder = folder.path();
    return std::make_unique<TProject>(std::move(env));
  }
  // One run of the game: start, `ticks` ticks, close.
  void Run(int ticks) {
    auto project = Make();
    for (int i = 0; i < ticks && !state.terminate; ++i) project->RunScripts();
    state.terminate = true;
  }
  int32_t Int(std::string_view name) const {
    const TParamCollectionItem* item = vars.Find(name);
    return item ? item->value().GetAsInt() : -1;
  }
  // Forgets the variables, as a new process would.
  void Restart() {
    vars.Reset();
    for (int32_t i = vars.Count() - 1; i >= 0; --i) {
      if (!vars.Var(i).is_system()) vars.Delete(vars.Var(i).name());
    }
  }
};

std::vector<uint8_t> StatusEntry(const fs::path& save) {
  TVrFileCollection collection;
  collection.Open(save);
  return collection.Extract(kStatusEntryName);
}

void WriteSave(const fs::path& path, const std::map<std::string, std::vector<uint8_t>>& entries) {
  TVrFileCollection collection;
  for (const auto& [name, data] : entries) {
    TVrFile& entry = collection.AddMemoryEntry(name);
    entry.Memory()->Write(data.data(), static_cast<int64_t>(data.size()));
  }
  collection.SaveToFile(path);
}

TEST(ProjectSave, StatusVariableSurvivesToTheNextRun) {
  Game g;
  g.Page("main.nsb", "Calc `runs = runs + 1`\nExit\n");
  g.Run(2);
  EXPECT_EQ(g.Int("runs"), 1);
  g.Restart();
  EXPECT_EQ(g.Int("runs"), -1);
  g.Run(2);
  EXPECT_EQ(g.Int("runs"), 2);
  const auto entry = StatusEntry(g.SaveFile());
  EXPECT_EQ(std::string(entry.begin(), entry.begin() + 9), "Status103");
}

TEST(ProjectSave, StatusTablesSurviveToTheNextRunAndGameTablesDoNot) {
  Game g;
  g.Page("main.nsb", "Exit\n");
  {
    auto project = g.Make();
    g.tables.CreateTable("game", false);
    g.tables.CreateTable("kept", true);
    ASSERT_TRUE(g.tables.ActiveTable()->LoadFromTsv(std::vector<std::string>{"n int", "7"}));
    g.state.terminate = true;
  }
  g.tables.Clear();  // as a new process starts
  g.Restart();
  auto project = g.Make();
  ASSERT_EQ(g.tables.Count(), 1);
  const TDBTable& kept = g.tables.Table(0);
  EXPECT_EQ(kept.name(), "kept");
  EXPECT_TRUE(kept.status());
  EXPECT_EQ(*kept.Get<int32_t>(0, 0), 7);
  EXPECT_EQ(g.tables.ActiveTable(), &kept);  // the last status table read is active
}

TEST(ProjectSave, ExitPageRunsAtCloseBeforeTheStatusIsStored) {
  Game g;
  g.setting.exit_page = "exit.nsb";
  g.Page("main.nsb", "Exit\n");
  g.Page("exit.nsb", "Calc `runs = 40`\nWait time=`100` stop\nCalc `runs = 41`\n");
  g.Run(1);
  EXPECT_EQ(g.Int("runs"), 40);  // one run of the interpreter: up to the first tick end
  g.Restart();
  g.Run(0);
  EXPECT_EQ(g.Int("runs"), 40);
}

// The save files in the game folder other than save.dat itself.
std::vector<fs::path> SetAside(const Game& g) {
  std::vector<fs::path> found;
  for (const auto& item : fs::directory_iterator(g.folder.path())) {
    if (item.path().filename().string().starts_with("save.dat.damaged-")) found.push_back(item);
  }
  return found;
}

TEST(ProjectSave, DamagedSaveFileIsMovedAsideNeverOverwrittenAndTheGameSavesAfresh) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> damage;
  };
  const Case cases[] = {
      {"damaged status data",
       [](const fs::path& save) {
         WriteSave(save, {{"STATUSSAVEDATA", {'S', 't', 'a', 't', 'u', 's', '1', '0', '3', 0xFF}}});
       }},
      {"not an archive",
       [](const fs::path& save) {
         platform::WriteFileAtomically(save, std::vector<uint8_t>(9, 'x'));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Game g;
    g.Page("main.nsb", "Calc `runs = runs + 1`\nExit\n");
    c.damage(g.SaveFile());
    const auto before = platform::ReadWholeFile(g.SaveFile());
    g.Run(2);
    const std::vector<fs::path> aside = SetAside(g);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(platform::ReadWholeFile(aside[0]), before);
    ASSERT_EQ(g.notices.size(), 1u);
    EXPECT_NE(g.notices[0].find(aside[0].string()), std::string::npos) << g.notices[0];
    // The fresh save works as any other: the next run counts on from it, and says nothing.
    g.Restart();
    g.Run(2);
    EXPECT_EQ(g.Int("runs"), 2);
    EXPECT_EQ(g.notices.size(), 1u);
    EXPECT_EQ(SetAside(g).size(), 1u);
  }
}

TEST(ProjectSave, FailedStartLeavesTheSaveFileAlone) {
  Game g;
  g.Page("main.nsb", "Exit\n");
  g.Run(1);
  const auto before = platform::ReadWholeFile(g.SaveFile());
  ASSERT_TRUE(before);
  g.setting.version = 115;
  EXPECT_THROW(g.Make(), NovuError);
  EXPECT_EQ(platform::ReadWholeFile(g.SaveFile()), before);
}

TEST(ProjectSave, OlderStatusEntriesAreReadAndRewrittenWhole) {
  TParamCollection source;
  source.Declare("kept", PT_INT, VarScope::kStatus, nullptr)->value().SetAsInt(5);
  BinaryWriter vars;
  source.SaveStatusToStream(vars);
  BinaryWriter read_marks;  // no marks, an empty armed mark
  read_marks.I32(0);
  read_marks.String("");
  read_marks.I32(0);
  read_marks.I32(0);
  read_marks.String("");
  struct Case {
    std::string header;
    std::vector<uint8_t> blocks;  // after the variables
  };
  const std::vector<uint8_t> marks = read_marks.bytes();
  std::vector<uint8_t> marks_and_dither = marks;
  marks_and_dither.push_back(1);
  const Case cases[] = {{"", {}}, {"Status100", marks}, {"Status102", marks_and_dither}};
  for (const Case& c : cases) {
    Game g;
    g.Page("main.nsb", "Exit\n");
    std::vector<uint8_t> entry(c.header.begin(), c.header.end());
    entry.insert(entry.end(), vars.bytes().begin(), vars.bytes().end());
    entry.insert(entry.end(), c.blocks.begin(), c.blocks.end());
    WriteSave(g.SaveFile(), {{"STATUSSAVEDATA", entry}});
    g.Run(1);
    EXPECT_EQ(g.Int("kept"), 5) << c.header;
    EXPECT_EQ(g.Int("runs"), 0) << c.header;  // project variables are still made
    const auto stored = StatusEntry(g.SaveFile());
    BinaryReader in(stored);
    EXPECT_EQ(in.BytesAsString(9), "Status103");
    TParamCollection check;
    check.LoadStatusFromStream(in);
    EXPECT_NE(check.Find("kept"), nullptr);
    // The blocks that were there are carried; the missing ones are written empty.
    const auto rest = in.Bytes(in.remaining());
    BinaryWriter expected;
    expected.Bytes(c.header.empty() ? marks : c.blocks);
    if (c.header != "Status102") expected.U8(0);
    expected.I32(100);
    expected.I32(0);
    EXPECT_EQ(std::vector<uint8_t>(rest.begin(), rest.end()), expected.bytes()) << c.header;
  }
}

TEST(ProjectSave, StoredValueWinsOverTheProjectsInitialValue) {
  Game g;
  g.setting.variables[0].int_value = 3;
  g.Page("main.nsb", "Calc `runs = runs * 10`\nExit\n");
  g.Run(1);
  EXPECT_EQ(g.Int("runs"), 30);
  g.Restart();
  g.Run(1);
  EXPECT_EQ(g.Int("runs"), 300);
}

TEST(ProjectSave, SlotCaptionsAndScriptFilesComeFromTheSaveFile) {
  Game g;
  g.Page("main.nsb", "Exit\n");
  auto slot = [](std::string_view caption) {
    BinaryWriter out;
    out.I32(139);
    out.String(caption);
    return out.Take();
  };
  WriteSave(g.SaveFile(), {{"GAMESAVEDATA0", slot("first")},
                           {"GAMESAVEDATA12", slot("twelfth")},
                           {"GAMESAVEDATAX", slot("not a slot")},
                           {"GAMESAVEDATA3", {1, 2}},
                           {"Save:notes.txt", {'h', 'i'}}});
  auto project = g.Make();
  // Files scripts wrote into the save file are found again.
  EXPECT_EQ(g.files.vfs.LoadFile("save:notes.txt"), (std::vector<uint8_t>{'h', 'i'}));
  EXPECT_EQ(project->save_captions(),
            (std::map<int32_t, std::string>{{0, "first"}, {12, "twelfth"}}));
}

TEST(ProjectSave, AcceptedDiscRequestRegistersTheMatchingDisc) {
  TempFolder drive;
  TNovuInstallSet install;
  install.title = "T";
  install.disc_index = 1;  // the second disc
  platform::WriteFileAtomically(drive.path() / "install.dat", install.Serialize());
  WriteSave(drive.path() / "game.dat", {{"data\\b.fip", {1, 2, 3}}});
  Game g({drive.path()});
  g.boxes.accept_disc_request = true;
  g.setting.folder_discs = {{"DATA\\", 2}};
  g.Page("main.nsb", "Exit\n");
  auto project = g.Make();
  EXPECT_TRUE(project->FileAvailable("data\\b.fip"));
  EXPECT_EQ(g.files.vfs.LoadFile("data\\b.fip"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(g.state.terminate);
}

TEST(ProjectSave, OriginalProjectLendsItsFolderDiscList) {
  Game g;
  g.setting.folder_discs = {{"DATA\\", 2}};
  g.Page("main.nsb", "Exit\n");
  TProjectSetting original;
  original.folder_discs = {{"OTHER\\", 3}};
  g.files.Add("/original_novu.npb", original.Serialize());
  auto project = g.Make();
  EXPECT_EQ(project->DiscOf("data\\a.fip"), 0);
  EXPECT_EQ(project->DiscOf("other\\a.fip"), 3);
}

TEST(ProjectSave, MissingStartPageWarnsAndTerminates) {
  Game g;
  auto project = g.Make();
  EXPECT_TRUE(g.state.terminate);
  EXPECT_FALSE(project->started());
  ASSERT_EQ(g.boxes.texts.size(), 1u);
  EXPECT_EQ(g.boxes.texts[0], Jp("スタートページがありません"));
}

TEST(ProjectSave, SaveFolderNames) {
  const std::pair<std::string, std::string> cases[] = {
      {"A:B?C", "A_B_C"},
      {"a\\b/c,d;e*f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"..", "_.."},
      {"", "_"},
      {"\x95\x5C", "\x95\x5C"},  // the second byte of a two-byte character is not a backslash
  };
  for (const auto& [title, folder] : cases) EXPECT_EQ(SaveFolderName(title), folder) << title;
}

TEST(ProjectSave, FolderDiscLookup) {
  Game g;
  g.setting.folder_discs = {{"DATA\\", 2}, {"data\\movie", 3}};
  g.setting.media_extensions = ".wav.ogg";
  g.Page("main.nsb", "Exit\n");
  auto project = g.Make();
  EXPECT_EQ(project->DiscOf("data\\a.fip"), 2);
  EXPECT_EQ(project->DiscOf("Data\\Movie\\x\\b.fip"), 3);
  EXPECT_EQ(project->DiscOf("other\\a.fip"), 0);
  EXPECT_EQ(project->DiscOf(""), 0);
  // A missing media file on disc 2 does not prompt; any other file asks for the disc.
  EXPECT_FALSE(project->FileAvailable("data\\a.ogg"));
  EXPECT_TRUE(g.boxes.texts.empty());
  EXPECT_FALSE(project->FileAvailable("data\\a.fip"));
  ASSERT_EQ(g.boxes.texts.size(), 2u);
  EXPECT_EQ(g.boxes.texts[0], Jp("ディスク2を入れてから[OK]をクリックしてください"));
  EXPECT_TRUE(g.state.terminate);  // the player chose to leave
}

}  // namespace
}  // namespace novu

// Started without a folder, the player needs an installed game: install.dat beside the program
// or in the data appended to it, and the data on disk, in game.dat beside the program or on a
// disc with the same title.
#include <gtest/gtest.h>

#include <deque>

#include "authoring/page_text.h"
#include "engine/install_settings.h"
#include "engine/project.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "storage/vr_file_collection.h"
#include "temp_folder.h"

namespace novu {
namespace {

namespace fs = std::filesystem;

struct ScriptedBoxes : platform::MessageBoxService {
  std::deque<platform::MessageResult> answers;
  std::vector<std::string> texts;
  platform::MessageResult Show(std::string_view, std::string_view text, platform::MessageButtons,
                               platform::MessageIcon) override {
    texts.emplace_back(text);
    if (answers.empty()) return platform::MessageResult::Ok;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// The game's own files: a project and a start page, packed as game.dat.
void WriteGameArchive(const fs::path& path, std::string_view title) {
  TProjectSetting setting;
  setting.title = std::string(title);
  setting.start_page = "main.nsb";
  TVrFileCollection archive;
  archive.AddMemoryEntry("novu.npb").Memory()->Bytes() = setting.Serialize();
  archive.AddMemoryEntry("main.nsb").Memory()->Bytes() = AssemblePage("", "main.nsb");
  archive.SaveToFile(path);
}

void WriteInstallData(const fs::path& path, std::string_view title, bool data_installed) {
  TNovuInstallSet install;
  install.title = std::string(title);
  install.data_installed = data_installed;
  platform::WriteFileAtomically(path, install.Serialize());
}

struct Start {
  TempFolder program;  // the program's folder (and its save file)
  TempFolder disc;     // a mounted disc
  ProcessState state;
  ScriptedBoxes boxes;
  TVrFileManager files{std::vector<fs::path>{disc.path()}};
  std::unique_ptr<TProject> Run() {
    files.AddArchive("");
    files.SetBaseFolder(program.path());
    ProjectEnvironment env(state, files, boxes);
    env.program_folder = program.path();
    return std::make_unique<TProject>(std::move(env));
  }
};

TEST(DataLocation, WithoutInstallDataThePlayerAsksForAReinstall) {
  Start s;
  WriteGameArchive(s.program.path() / "game.dat", "G");
  auto project = s.Run();
  EXPECT_FALSE(project->started());
  EXPECT_TRUE(s.state.terminate);
  ASSERT_EQ(s.boxes.texts.size(), 1u);
  EXPECT_EQ(s.boxes.texts[0], Jp("インストールし直してください"));
}

TEST(DataLocation, InstalledDataBesideTheProgram) {
  Start s;
  WriteInstallData(s.program.path() / "install.dat", "G", true);
  WriteGameArchive(s.program.path() / "game.dat", "G");
  auto project = s.Run();
  EXPECT_TRUE(project->started());
  EXPECT_TRUE(s.boxes.texts.empty());
}

TEST(DataLocation, InstallDataInsideAnAppendedArchive) {
  Start s;
  const fs::path appended = s.program.path() / "appended.dat";
  WriteGameArchive(appended, "G");
  TVrFileCollection with_install;
  with_install.Open(appended);
  TNovuInstallSet install;
  install.title = "G";
  install.data_installed = true;
  with_install.AddMemoryEntry("install.dat").Memory()->Bytes() = install.Serialize();
  with_install.SaveToFile(appended);
  s.files.AddArchive(appended);
  auto project = s.Run();
  EXPECT_TRUE(project->started());
}

TEST(DataLocation, DataOnDiscIsFoundByTitle) {
  Start s;
  WriteInstallData(s.program.path() / "install.dat", "G", false);
  WriteInstallData(s.disc.path() / "install.dat", "G", false);
  WriteGameArchive(s.disc.path() / "game.dat", "G");
  auto project = s.Run();
  EXPECT_TRUE(project->started());
  EXPECT_TRUE(s.boxes.texts.empty());
}

TEST(DataLocation, NoDiscAsksUntilTheExitIsConfirmed) {
  Start s;
  WriteInstallData(s.program.path() / "install.dat", "G", false);
  WriteInstallData(s.disc.path() / "install.dat", "Other game", false);
  WriteGameArchive(s.disc.path() / "game.dat", "Other game");
  using R = platform::MessageResult;
  // OK searches again; Cancel asks to leave; Cancel there asks for the disc again; then leave.
  s.boxes.answers = {R::Ok, R::Cancel, R::Cancel, R::Cancel, R::Ok};
  auto project = s.Run();
  EXPECT_FALSE(project->started());
  EXPECT_TRUE(s.state.terminate);
  const std::string insert = Jp("ディスクを入れてください");
  const std::string leave = Jp("終了します");
  EXPECT_EQ(s.boxes.texts, (std::vector<std::string>{insert, insert, leave, insert, leave}));
}

}  // namespace
}  // namespace novu

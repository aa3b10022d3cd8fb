#include "engine/project.h"

#include <gtest/gtest.h>

#include "authoring/page_text.h"
#include "platform/error.h"
#include "temp_folder.h"

namespace novu {
namespace {

struct RecordingBoxes : platform::MessageBoxService {
  std::vector<std::pair<std::string, std::string>> shown;
  platform::MessageResult Show(std::string_view caption, std::string_view text,
                               platform::MessageButtons, platform::MessageIcon) override {
    shown.emplace_back(caption, text);
    return platform::MessageResult::Ok;
  }
};

struct ProjectFixture {
  ProjectFixture() { files.AddArchive(""); }
  void AddFile(std::string_view name, std::vector<uint8_t> bytes) {
    files.Collection(0).AddMemoryEntry(name).Memory()->Bytes() = std::move(bytes);
  }
  TempFolder folder;  // the game folder given on the command line
  ProcessState state;
  TVrFileManager files{std::vector<std::filesystem::path>{}};
  RecordingBoxes boxes;
  struct TitleHost final : ProjectHost {
    std::string title;
    void SetTitle(const std::string& t) override { title = t; }
  } host;
  std::unique_ptr<TProject> Make() {
    state.terminate = false;  // the constructor must set it itself
    ProjectEnvironment env{state, files, boxes, &host};
    env.argument_folder = folder.path();
    return std::make_unique<TProject>(std::move(env));
  }
};

TEST(Project, MissingProjectFileEndsSilently) {
  ProjectFixture f;
  auto project = f.Make();
  EXPECT_TRUE(f.state.terminate);
  EXPECT_FALSE(project->started());
  EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(Project, EmptyProjectFileWarns) {
  ProjectFixture f;
  f.AddFile("novu.npb", {});
  auto project = f.Make();
  EXPECT_TRUE(f.state.terminate);
  ASSERT_EQ(f.boxes.shown.size(), 1u);
  EXPECT_EQ(f.boxes.shown[0].first, Jp("警告"));
  EXPECT_EQ(f.boxes.shown[0].second, Jp("プロジェクトがありません"));
}

TEST(Project, TooNewProjectRaisesAndLeavesTerminateSet) {
  ProjectFixture f;
  TProjectSetting s;
  s.version = 115;
  f.AddFile("NOVU.NPB", s.Serialize());
  EXPECT_THROW(f.Make(), NovuError);
  EXPECT_TRUE(f.state.terminate);
}

TEST(Project, AppliesTheSettings) {
  ProjectFixture f;
  TProjectSetting s;
  s.title = "Demo";
  s.screen_width = 641;
  s.screen_height = 481;
  s.start_page = "main.nsb";
  f.AddFile("NOVU.NPB", s.Serialize());
  f.AddFile("main.nsb", AssemblePage("", "main.nsb"));
  auto project = f.Make();
  EXPECT_FALSE(f.state.terminate);
  EXPECT_TRUE(project->started());
  EXPECT_EQ(f.host.title, "Demo");
  EXPECT_EQ(project->screen_center_x(), 320);
  EXPECT_EQ(project->screen_center_y(), 240);
  EXPECT_EQ(project->pending_load_slot(), -1);
  EXPECT_EQ(project->pending_save_slot(), -1);
}

}  // namespace
}  // namespace novu

// The contract of `novutool image` (run as a program, when it has been built).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "imagefmt/fipo_frame_list.h"
#include "platform/file_io.h"
#include "render/image_codecs.h"

namespace novu::imagefmt {
namespace {

namespace fs = std::filesystem;

class ImageTool : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_ = fs::path(NOVU_BINARY_DIR) / "novutool";
    if (!fs::exists(tool_)) GTEST_SKIP() << "novutool not built";
    dir_ = fs::temp_directory_path() / ("image_tool_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  int Run(const std::string& arguments) {
    const std::string command = tool_.string() + " image " + arguments + " > " +
                                (dir_ / "stdout.txt").string() + " 2> " +
                                (dir_ / "stderr.txt").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Output(const char* name) {
    const auto bytes = platform::ReadWholeFile(dir_ / name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
  }
  std::string Stderr() { return Output("stderr.txt"); }
  std::string Path(const std::string& name) { return (dir_ / name).string(); }

  fs::path tool_;
  fs::path dir_;
};

TEST_F(ImageTool, FrameBecomesRgbaWithOpaqueAlphaWhereThereIsNoMask) {
  TFipoFrameList list(31);
  for (uint32_t colour : {0x00102030u, 0x00405060u}) {
    render::TDIBSurface& p = list.AddFrame().picture;
    p.SetSize(4, 3, 24);
    p.FillRect(p.Bounds(), colour);
  }
  platform::WriteFileAtomically(Path("in.fip"), list.SaveToStream({}));

  ASSERT_EQ(Run("--code 31 --frame 1 " + Path("in.fip") + " " + Path("out.png")), 0) << Stderr();
  const auto png = platform::ReadWholeFile(Path("out.png"));
  ASSERT_TRUE(png);
  const render::TDIBSurface picture = render::DecodePng(*png);
  EXPECT_EQ(picture.GetPixel(3, 2), 0x00405060u);
  ASSERT_NE(picture.Mask(), nullptr);
  EXPECT_EQ(picture.Mask()->GetPixel(3, 2), 255u);
}

TEST_F(ImageTool, InfoListsFramesLayersDurationsAndRegions) {
  TFipoFrameList list;
  TFipoFrame& f = list.AddFrame();
  f.name = "walk";
  f.duration = 40;
  f.picture.SetSize(6, 5, 16);
  f.draw_regions = {{1, 2, 3, 4}};
  platform::WriteFileAtomically(Path("in.fip"), list.SaveToStream({}));
  ASSERT_EQ(Run("--info " + Path("in.fip")), 0) << Stderr();
  const std::string out = Output("stdout.txt");
  for (const char* want : {"version 106, 1 frames", "frame 0 \"walk\": 6 x 5 x 16, duration 40",
                           "layer 0 \"Layer\"", "regions: (1,2)-(3,4)"}) {
    EXPECT_NE(out.find(want), std::string::npos) << want << " in\n" << out;
  }
}

TEST_F(ImageTool, UnreadableInputEndsWithStatusOneAndAMessage) {
  platform::WriteFileAtomically(Path("bad.fip"), std::vector<uint8_t>{'F', 'i', 'p', 'o', '1'});
  struct Case {
    std::string arguments;
  };
  const Case cases[] = {
      {Path("bad.fip") + " " + Path("out.png")},
      {Path("missing.fip") + " " + Path("out.png")},
      {"--info " + Path("bad.fip")},
      {"--frame 3 " + Path("bad.fip") + " " + Path("out.png")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    EXPECT_EQ(Run(c.arguments), 1);
    EXPECT_NE(Stderr().find("novutool: "), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("out.png")));
  }
}

}  // namespace
}  // namespace novu::imagefmt

#include "storage/vr_file_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_io.h"
#include "storage/archive_builder.h"
#include "storage/archive_format.h"
#include "storage/test_dir.h"

namespace novu {
namespace {

using testing::AsString;
using testing::BuildArchive;
using testing::ReadText;
using testing::TestDir;

std::vector<std::filesystem::path> NoDiscs() {
  return {};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  platform::WriteFileAtomically(path, bytes);
}

// A game folder with game.dat holding two entries and one loose file overriding one of them.
struct GameFolder {
  TestDir dir;
  GameFolder() {
    WriteBytes(dir / "game.dat",
               BuildArchive(102, {{"cg\\Bg01.fip", "from archive", false, 0},
                                  {"bgm\\title.ogg", "stored music", true, 0},
                                  {"script\\start.nsb", "archive page", false, 0}}));
    dir.Write("Script/START.nsb", "loose page");
    dir.Write("only/loose.txt", "loose only");
  }
};

TEST(VrFileManager, LooseFilesComeFirstAndNamesIgnoreCase) {
  GameFolder game;
  TVrFileManager files{NoDiscs()};
  const std::vector<std::string> args{game.dir.path().string()};
  RegisterDataSources(files, args, "/nonexistent/player");
  ASSERT_EQ(files.CollectionCount(), 2);  // run-time collection + game.dat
  EXPECT_EQ(files.Collection(0).Count(), 0);

  EXPECT_EQ(AsString(files.LoadFile("script\\start.nsb")), "loose page");
  EXPECT_EQ(AsString(files.LoadFile("CG\\BG01.FIP")), "from archive");
  EXPECT_EQ(AsString(files.LoadFile("Only\\Loose.TXT")), "loose only");
  EXPECT_TRUE(files.Exists("bgm\\TITLE.ogg"));
  EXPECT_FALSE(files.Exists(""));
  EXPECT_FALSE(files.Exists("cg\\missing.fip"));
  try {
    files.LoadFile("cg\\missing.fip");
    FAIL() << "no error";
  } catch (const NovuError& e) {
    EXPECT_EQ(e.Utf8Message(), "cg\\missing.fip:ファイルがありません");
  }

  // A file added after the first lookup is still found (the folder index refreshes).
  game.dir.Write("cg/new.fip", "new");
  EXPECT_EQ(AsString(files.LoadFile("CG\\New.fip")), "new");
}

TEST(VrFileManager, RunTimeEntriesAreFoundInCollectionZero) {
  GameFolder game;
  TVrFileManager files{NoDiscs()};
  RegisterDataSources(files, std::vector<std::string>{game.dir.path().string()}, "/x/player");
  TVrFile& entry = files.Collection(0).AddMemoryEntry("cg\\Bg01.fip");
  entry.Memory()->Bytes() = {'r', 'u', 'n'};
  EXPECT_EQ(AsString(files.LoadFile("cg\\bg01.fip")), "run");
}

TEST(VrFileManager, OpenRangeReadsStoredEntriesInPlaceAndInflatesOthers) {
  GameFolder game;
  TVrFileManager files{NoDiscs()};
  RegisterDataSources(files, std::vector<std::string>{game.dir.path().string()}, "/x/player");
  struct Case {
    const char* name;
    std::string content;
  };
  const Case cases[] = {{"BGM\\Title.ogg", "stored music"},
                        {"cg\\bg01.fip", "from archive"},
                        {"only\\loose.txt", "loose only"}};
  for (const Case& c : cases) {
    std::unique_ptr<TRangeStream> range = files.OpenRange(c.name);
    ASSERT_EQ(range->Size(), static_cast<int64_t>(c.content.size())) << c.name;
    std::string got(c.content.size() + 10, '\0');
    got.resize(static_cast<size_t>(range->Read(got.data(), static_cast<int64_t>(got.size()))));
    EXPECT_EQ(got, c.content);
  }
  EXPECT_THROW(files.OpenRange("none.ogg"), NovuError);
}

TEST(VrFileManager, RealPathsAreLooseFilesOrPrivateCopiesRemovedAtTheEnd) {
  GameFolder game;
  std::filesystem::path copy;
  {
    TVrFileManager files{NoDiscs()};
    RegisterDataSources(files, std::vector<std::string>{game.dir.path().string()}, "/x/player");
    EXPECT_EQ(files.GetRealPath("ONLY\\loose.txt"), game.dir / "only/loose.txt");
    copy = files.GetRealPath("bgm\\title.ogg");
    EXPECT_EQ(copy.filename(), "~nv00000000.ogg");
    EXPECT_EQ(ReadText(copy), "stored music");
    EXPECT_EQ(files.GetRealPath("BGM\\TITLE.OGG"), copy);  // made once per name
    EXPECT_EQ(files.GetRealPath("cg\\bg01.fip").filename(), "~nv00000001.fip");
    EXPECT_EQ(files.GetRealPath("not\\there.wav"), "not\\there.wav");
    files.Housekeeping();
    EXPECT_TRUE(std::filesystem::exists(copy));
  }
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_FALSE(std::filesystem::exists(copy.parent_path()));
}

TEST(VrFileManager, ListFilesMergesCollectionsAndDiskWithoutDuplicates) {
  GameFolder game;
  game.dir.Write("cg/Extra.fip", "x");
  game.dir.Write("cg/BG01.FIP", "loose copy of an archived name");
  game.dir.Write("cg/sub/deeper.fip", "not directly inside");
  TVrFileManager files{NoDiscs()};
  RegisterDataSources(files, std::vector<std::string>{game.dir.path().string()}, "/x/player");
  std::vector<std::string> names;
  files.ListFiles("CG\\", names);
  EXPECT_EQ(names, (std::vector<std::string>{"cg\\Bg01.fip", "CG\\Extra.fip"}));
}

TEST(VrFileManager, DiscFilesComeLast) {
  TestDir base;
  TestDir disc;
  disc.Write("Movie/OP.mpg", "disc movie");
  TVrFileManager files({disc.path()});
  files.SetBaseFolder(base.path());
  EXPECT_EQ(AsString(files.LoadFile("movie\\op.mpg")), "disc movie");
  EXPECT_EQ(files.GetRealPath("movie\\op.mpg"), disc / "Movie/OP.mpg");
  EXPECT_EQ(TVrFileManager::OpticalRootsFromMounts("/dev/sda1 / ext4 rw 0 0\n"
                                                   "/dev/sr0 /media/cd\\040rom iso9660 ro 0 0\n"
                                                   "/dev/sr1 /mnt/dvd udf ro 0 0\n"),
            (std::vector<std::filesystem::path>{"/media/cd rom", "/mnt/dvd"}));
}

TEST(VrFileManager, ProgramWithAppendedArchivePlaysWithoutArguments) {
  TestDir dir;
  const std::vector<uint8_t> archive = BuildArchive(102, {{"novu.npb", "project", false, 0}});
  std::vector<uint8_t> program = {'E', 'L', 'F'};
  const auto base = static_cast<int32_t>(program.size());
  program.insert(program.end(), archive.begin(), archive.end());
  const std::vector<uint8_t> trailer = AppendedTrailer(base);
  program.insert(program.end(), trailer.begin(), trailer.end());
  WriteBytes(dir / "player", program);
  WriteBytes(dir / "plain-player", {'E', 'L', 'F', 'n', 'o'});

  TVrFileManager files{NoDiscs()};
  RegisterDataSources(files, {}, dir / "player");
  EXPECT_EQ(files.BaseFolder(), dir.path());
  ASSERT_EQ(files.CollectionCount(), 2);
  EXPECT_EQ(AsString(files.LoadFile("NOVU.npb")), "project");

  TVrFileManager plain{NoDiscs()};
  RegisterDataSources(plain, {}, dir / "plain-player");
  EXPECT_EQ(plain.CollectionCount(), 1);  // a program not ending in "nv" carries no archive

  // As an argument, a file ending in "nv" is registered too; registering twice is ignored.
  TVrFileManager with_args{NoDiscs()};
  const std::vector<std::string> args{dir.path().string(), (dir / "player").string()};
  RegisterDataSources(with_args, args, "/x/player");
  EXPECT_EQ(with_args.CollectionCount(), 2);
  EXPECT_EQ(with_args.AddProgramArchive(dir / "player"), -1);
  EXPECT_THROW(with_args.AddResourceArchive(dir / "player", "DUMMY", "BINTYPE"), NovuError);
}

TEST(VrFileManager, DamagedArchiveRegistersNothing) {
  TestDir dir;
  WriteBytes(dir / "game.dat", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});
  TVrFileManager files{NoDiscs()};
  files.AddArchive({});
  EXPECT_THROW(files.AddArchive(dir / "game.dat"), NovuError);
  EXPECT_EQ(files.CollectionCount(), 1);
}

}  // namespace
}  // namespace novu

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "platform/error.h"
#include "storage/big_file_stream.h"
#include "storage/big_stream.h"
#include "storage/range_stream.h"
#include "storage/test_dir.h"

namespace novu {
namespace {

using testing::ReadText;
using testing::TestDir;

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

TEST(BigFileStream, WritesSegmentsAndReadsThemBackAcrossBoundaries) {
  TestDir dir;
  const auto path = dir / "x.dat";
  const std::vector<uint8_t> data = Pattern(300);
  {
    TKxBigFileStream out(path, BigFileMode::kCreate, 100);
    EXPECT_EQ(out.Write(data.data(), 300), 300);
  }
  EXPECT_EQ(std::filesystem::file_size(path), 100u);
  EXPECT_EQ(std::filesystem::file_size(dir / "x.001"), 100u);
  EXPECT_EQ(std::filesystem::file_size(dir / "x.002"), 100u);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.003"));

  dir.Write("x.004", "after a gap: not part of the file");
  TKxBigFileStream in(path, BigFileMode::kRead, 100);
  EXPECT_EQ(in.SegmentCount(), 3);
  ASSERT_EQ(in.GetSize(), 300);
  in.SetPosition(95);
  std::vector<uint8_t> got(400);
  EXPECT_EQ(in.Read(got.data(), 400), 205);  // stops at the end of the last segment
  EXPECT_TRUE(std::equal(data.begin() + 95, data.end(), got.begin()));
  EXPECT_EQ(in.Read(got.data(), 10), 0);
  in.SetPosition(1000);
  EXPECT_EQ(in.GetPosition(), 300);
  EXPECT_EQ(in.Write(data.data(), 1), 0);  // read-only
}

TEST(BigFileStream, CreateDeletesOldSegmentsAndMissingFileIsAnError) {
  TestDir dir;
  dir.Write("y.dat", "old");
  dir.Write("y.001", "old");
  dir.Write("y.002", "old");
  { TKxBigFileStream out(dir / "y.dat", BigFileMode::kCreate, 100); }
  EXPECT_EQ(std::filesystem::file_size(dir / "y.dat"), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "y.001"));
  EXPECT_FALSE(std::filesystem::exists(dir / "y.002"));
  EXPECT_THROW(TKxBigFileStream(dir / "missing.dat", BigFileMode::kRead), NovuError);
  EXPECT_EQ(TKxBigFileStream::SegmentPath("a/game.dat", 2), "a/game.002");
}

TEST(RangeStream, SeeksAndReadsAreClampedToTheWindow) {
  auto source = std::make_unique<TKxBigMemoryStream>(Pattern(2000));
  TRangeStream range(std::move(source), 1000, 100);
  EXPECT_EQ(range.Seek(150, SeekOrigin::kBegin), 100);
  EXPECT_EQ(range.Seek(80, SeekOrigin::kBegin), 80);
  std::vector<uint8_t> got(50);
  EXPECT_EQ(range.Read(got.data(), 50), 20);
  EXPECT_EQ(got[0], Pattern(2000)[1080]);
  EXPECT_EQ(range.Seek(-10, SeekOrigin::kEnd), 90);
  EXPECT_EQ(range.Seek(-500, SeekOrigin::kCurrent), 0);
  EXPECT_EQ(range.Write(got.data(), 5), 0);
}

TEST(RangeStream, FileRangeOfSizeZeroRunsToTheEnd) {
  TestDir dir;
  dir.Write("r.bin", "0123456789");
  TFileRangeStream range(dir / "r.bin", 0, 4);
  EXPECT_EQ(range.Size(), 6);
  char got[8] = {};
  EXPECT_EQ(range.Read(got, 8), 6);
  EXPECT_EQ(std::string(got, 6), "456789");
}

TEST(BuffBigStream, GivesBackUnconsumedBytesOnDestruction) {
  TKxBigMemoryStream source(Pattern(300000));
  source.SetPosition(5);
  {
    TKxBuffBigStream buffered(source);
    uint8_t got[10];
    EXPECT_EQ(buffered.Read(got, 10), 10);
    EXPECT_EQ(got[0], Pattern(300000)[5]);
  }
  EXPECT_EQ(source.GetPosition(), 15);
}

// A stream that claims more data than it ever delivers.
class LyingStream : public TKxBigStream {
 public:
  int64_t GetSize() override { return 1 << 20; }
  int64_t Read(void*, int64_t) override { return 0; }
};

TEST(BuffBigStream, ShortSourceEndsTheReadInsteadOfLooping) {
  TKxBigMemoryStream small(Pattern(10));
  TKxBuffBigStream over_small(small);
  std::vector<uint8_t> got(200000);
  EXPECT_EQ(over_small.Read(got.data(), 200000), 10);

  LyingStream liar;
  TKxBuffBigStream over_liar(liar);
  EXPECT_EQ(over_liar.Read(got.data(), 100), 0);
}

TEST(CopyStream, SizeZeroCopiesTheWholeSourceFromItsStart) {
  TestDir dir;
  dir.Write("c.bin", "abcdefghij");
  TKxBigFileStream file(dir / "c.bin", BigFileMode::kRead);
  file.SetPosition(5);
  TKxBigMemoryStream copy;
  EXPECT_EQ(CopyStream(copy, file, 0), 10);
  EXPECT_EQ(std::string(copy.Bytes().begin(), copy.Bytes().end()), "abcdefghij");

  TKxBigMemoryStream memory(Pattern(50));
  memory.SetPosition(40);
  TKxBigMemoryStream tail;
  EXPECT_EQ(CopyStream(tail, memory, 30), 10);  // a memory source gives what it has
  EXPECT_EQ(memory.GetPosition(), 50);

  LyingStream liar;
  EXPECT_EQ(CopyStream(copy, liar, 1000), 0);  // a dry source ends the copy
}

TEST(BigMemoryStream, SavesAtomicallyAndLoadsBack) {
  TestDir dir;
  TKxBigMemoryStream out(std::vector<uint8_t>{'n', 'e', 'w'});
  dir.Write("s.dat", "old contents");
  out.SaveToFile(dir / "s.dat");
  EXPECT_EQ(ReadText(dir / "s.dat"), "new");
  TKxBigMemoryStream in;
  in.LoadFromFile(dir / "s.dat");
  EXPECT_EQ(in.GetSize(), 3);
  EXPECT_THROW(in.LoadFromFile(dir / "none"), NovuError);
}

}  // namespace
}  // namespace novu

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "storage/archive_builder.h"
#include "storage/archive_format.h"
#include "storage/test_dir.h"
#include "storage/vr_file_collection.h"
#include "storage/zlib_codec.h"

namespace novu {
namespace {

using testing::AsString;
using testing::BuildArchive;
using testing::RawEntry;
using testing::TestDir;

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

// Random bytes do not compress at all.
std::string Noise(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(random());
  return s;
}

// Text whose compressed size lands in (90%, 100%) of the original: mostly noise, a little
// repetition.
std::string BarelyCompressible(size_t n) {
  std::string s = Noise(n, 7);
  for (size_t i = 0; i < n / 8; ++i) s[i] = 'a';
  return s;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  platform::WriteFileAtomically(path, bytes);
}

TEST(Archive, WriterRoundTripsNamesSizesFlagsTimesAndChecksums) {
  TestDir dir;
  const std::string big = Noise(6 * 1024 * 1024, 1);
  const std::string barely = BarelyCompressible(1000);
  ASSERT_GT(Deflate(Bytes(barely)).size(), 900u);
  ASSERT_LT(Deflate(Bytes(barely)).size(), 1000u);
  const std::string text(5000, 'x');
  const std::string japanese = "\x83\x5C\x83\x74\x83\x67\\a.txt";  // "ソフト\a.txt", 0x5C trail

  TVrFileCollection out;
  struct Want {
    std::string name;
    const std::string* content;
    bool stored;
  };
  const std::vector<Want> wants = {{"big.bin", &big, true},
                                   {"barely.txt", &barely, true},
                                   {"Text\\Long.TXT", &text, false},
                                   {japanese, &text, false},
                                   {"empty.txt", nullptr, true}};
  for (const Want& w : wants) {
    TVrFile& e = out.AddMemoryEntry(w.name);
    if (w.content != nullptr) e.Memory()->Bytes() = Bytes(*w.content);
    e.time = 0x5A210000 + static_cast<int32_t>(e.Index());
  }
  out.SaveToFile(dir / "save.dat");

  TVrFileCollection in;
  in.Open(dir / "save.dat");
  EXPECT_EQ(in.Version(), 102);
  ASSERT_EQ(in.Count(), static_cast<int>(wants.size()));
  for (int i = 0; i < in.Count(); ++i) {
    const Want& w = wants[static_cast<size_t>(i)];
    const TVrFile& e = in.Entry(i);
    const std::string content = w.content != nullptr ? *w.content : std::string();
    EXPECT_EQ(e.Name(), w.name);
    EXPECT_EQ(e.stored, w.stored) << w.name;
    if (w.stored) {
      EXPECT_EQ(e.size, static_cast<int64_t>(content.size()));
    }
    EXPECT_EQ(e.time, 0x5A210000 + i);
    EXPECT_EQ(e.checksum, Crc32(Bytes(content)));
    EXPECT_TRUE(e.checksum_before_compression);
    EXPECT_TRUE(in.ChecksumMatches(e)) << w.name;
    EXPECT_EQ(AsString(in.Extract(w.name)), content) << w.name;
  }
  EXPECT_EQ(AsString(in.Extract("TEXT\\long.txt")), text);  // any letter case
  EXPECT_THROW(in.Extract("nothing.txt"), NovuError);
}

TEST(Archive, ReadsEveryVersionOfTheLayout) {
  struct Case {
    int32_t version;
    bool keeps_stored_flag;
  };
  // Version 0 (no "vf"): plain names, 32-bit offsets, all compressed. 100: scrambled, 32-bit,
  // all compressed. 101: 64-bit offsets and tables but no checksum-order flags. 102: all.
  const Case cases[] = {{0, false}, {100, false}, {101, true}, {102, true}};
  for (const Case& c : cases) {
    TestDir dir;
    WriteFile(dir / "game.dat",
              BuildArchive(c.version, {{"Cg\\Bg01.fip", std::string(3000, 'p'), false, 11},
                                       {"voice.ogg", "OggS raw", true, 12}}));
    TVrFileCollection in;
    in.Open(dir / "game.dat");
    SCOPED_TRACE(c.version);
    EXPECT_EQ(in.Version(), c.version);
    ASSERT_EQ(in.Count(), 2);
    EXPECT_EQ(in.Entry(0).Name(), "Cg\\Bg01.fip");
    EXPECT_EQ(AsString(in.Extract("cg\\bg01.FIP")), std::string(3000, 'p'));
    EXPECT_EQ(AsString(in.Extract("VOICE.OGG")), "OggS raw");
    EXPECT_EQ(in.Entry(1).stored, c.keeps_stored_flag);
    EXPECT_FALSE(in.Entry(0).checksum_before_compression);
    EXPECT_TRUE(in.ChecksumMatches(in.Entry(1)));
    EXPECT_EQ(in.Entry(1).time, c.keeps_stored_flag ? 12 : 0);
  }
}

TEST(Archive, EntriesAreCheckedAgainstTheirChecksumWhenRead) {
  struct Case {
    const char* what;
    int32_t version;
    bool stored;
    bool checksum_before_compression;
    uint32_t checksum_xor;
    bool readable;
  };
  const Case cases[] = {
      {"stored, intact", 102, true, false, 0, true},
      {"stored, damaged", 102, true, false, 0x10, false},
      {"compressed, checksum of the stored bytes, intact", 102, false, false, 0, true},
      {"compressed, checksum of the stored bytes, damaged", 102, false, false, 1, false},
      {"compressed, checksum of the content, intact", 102, false, true, 0, true},
      {"compressed, checksum of the content, damaged", 102, false, true, 0x8000, false},
      {"version 101, damaged", 101, false, false, 4, false},
  };
  const std::string content(5000, 'k');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestDir dir;
    WriteFile(dir / "game.dat",
              BuildArchive(c.version, {{"ok.txt", "fine", true, 0},
                                       {"page\\count.nsb", content, c.stored, 0,
                                        c.checksum_before_compression, c.checksum_xor}}));
    TVrFileCollection in;
    in.Open(dir / "game.dat");
    EXPECT_EQ(AsString(in.Extract("ok.txt")), "fine");
    EXPECT_EQ(in.ChecksumMatches(in.Entry(1)), c.readable);
    if (c.readable) {
      EXPECT_EQ(AsString(in.Extract("page\\count.nsb")), content);
      continue;
    }
    try {
      in.Extract("page\\count.nsb");
      ADD_FAILURE() << "a damaged entry was read";
    } catch (const NovuError& e) {
      EXPECT_NE(e.message().find("page\\count.nsb"), std::string::npos) << e.Utf8Message();
      EXPECT_NE(e.Utf8Message().find("checksum"), std::string::npos) << e.Utf8Message();
    }
  }
}

TEST(Archive, FirstScrambledNameByteUsesTheArchiveKey) {
  const std::vector<uint8_t> archive = BuildArchive(102, {{"A", "x", true, 0}});
  // "vf", version, count, name length, then 'A' XOR the low byte of the first value (0x35).
  ASSERT_GT(archive.size(), 15u);
  EXPECT_EQ(archive[14], 'A' ^ 0x35);
}

std::vector<uint8_t> WithI32At(std::vector<uint8_t> bytes, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  return bytes;
}

TEST(Archive, DamagedDirectoriesAreRejected) {
  // Version 0 layout: count at 0, name length at 4, name "a" at 8, then offsets at 9 and 13.
  const std::vector<uint8_t> good = BuildArchive(0, {{"a", "hello", false, 0}});
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"entry count beyond the data", WithI32At(good, 0, 100000)},
      {"negative entry count", WithI32At(good, 0, -1)},
      {"name longer than the file", WithI32At(good, 4, 0x7FFFFFF0)},
      {"offsets decrease", WithI32At(good, 13, 5)},
      {"end offset past the file", WithI32At(good, 13, static_cast<int32_t>(good.size()) + 1)},
      {"truncated directory", std::vector<uint8_t>(good.begin(), good.begin() + 11)},
      {"empty file", {}},
  };
  for (const Case& c : cases) {
    TestDir dir;
    WriteFile(dir / "game.dat", c.bytes);
    TVrFileCollection in;
    EXPECT_THROW(in.Open(dir / "game.dat"), NovuError) << c.what;
    EXPECT_EQ(in.Count(), 0) << c.what;
    EXPECT_FALSE(in.HasContainer()) << c.what;
  }
}

TEST(Archive, TruncatedCompressedEntryIsAnError) {
  TestDir dir;
  // Version 0 by hand: one entry whose zlib stream lost its last bytes.
  std::vector<uint8_t> stream = Deflate(Bytes(std::string(4000, 'q')));
  stream.resize(stream.size() - 3);
  BinaryWriter w;
  w.I32(1);
  w.String("a.txt");
  const uint32_t data_start = 4 + 9 + 8;
  w.U32(data_start);
  w.U32(data_start + static_cast<uint32_t>(stream.size()));
  w.Bytes(stream);
  WriteFile(dir / "cut.dat", w.bytes());
  TVrFileCollection in;
  in.Open(dir / "cut.dat");
  EXPECT_THROW(in.Extract("a.txt"), NovuError);
}

TEST(Zlib, InflateChecksLimitsAndEndOfStream) {
  const std::vector<uint8_t> zeros(1 << 20, 0);
  const std::vector<uint8_t> packed = Deflate(zeros);
  EXPECT_EQ(Inflate(packed, "z"), zeros);
  EXPECT_THROW(Inflate(packed, "z", 1000), NovuError);  // cap per entry
  std::vector<uint8_t> cut(packed.begin(), packed.end() - 4);
  EXPECT_THROW(Inflate(cut, "z"), NovuError);
  EXPECT_THROW(Inflate({}, "z"), NovuError);
  const std::vector<uint8_t> garbage = Bytes("definitely not zlib");
  EXPECT_THROW(Inflate(garbage, "z"), NovuError);
}

TEST(Archive, AppendedToAProgramAndSplitDirectory) {
  TestDir dir;
  const std::vector<uint8_t> archive = BuildArchive(102, {{"script\\start.nsb", "page", true, 0}});
  std::vector<uint8_t> program = Bytes(
      "\x7F"
      "ELF pretend program body");
  const auto base = static_cast<int32_t>(program.size());
  program.insert(program.end(), archive.begin(), archive.end());
  const std::vector<uint8_t> trailer = AppendedTrailer(base);
  program.insert(program.end(), trailer.begin(), trailer.end());
  WriteFile(dir / "player", program);
  EXPECT_TRUE(TVrFileCollection::HasAppendedArchive(dir / "player"));
  TVrFileCollection appended;
  appended.OpenAppended(dir / "player");
  EXPECT_EQ(AsString(appended.Extract("SCRIPT\\start.nsb")), "page");

  // The same as a Windows-style program name picks the trailer by its extension.
  WriteFile(dir / "game.exe", program);
  TVrFileCollection exe;
  exe.Open(dir / "game.exe");
  EXPECT_EQ(exe.Count(), 1);

  // An archive start outside the file is refused.
  std::vector<uint8_t> bad = program;
  const std::vector<uint8_t> bad_trailer = AppendedTrailer(0x7FFFFFF0);
  std::copy(bad_trailer.begin(), bad_trailer.end(), bad.end() - 6);
  WriteFile(dir / "bad", bad);
  TVrFileCollection refused;
  EXPECT_THROW(refused.OpenAppended(dir / "bad"), NovuError);

  // No "nv" at the end: not an archive.
  WriteFile(dir / "plain", Bytes("just a program"));
  EXPECT_FALSE(TVrFileCollection::HasAppendedArchive(dir / "plain"));
  TVrFileCollection none;
  EXPECT_THROW(none.OpenAppended(dir / "plain"), NovuError);

  // Split placement: the directory in data.ext, the entries' bytes in data.dat.
  const std::vector<uint8_t> whole = BuildArchive(102, {{"a.txt", "split!", true, 0}});
  WriteFile(dir / "data.dat", whole);
  const size_t data_start = whole.size() - 6;
  WriteFile(dir / "data.ext", std::vector<uint8_t>(whole.begin(), whole.begin() + data_start));
  TVrFileCollection split;
  split.Open(dir / "data.dat");
  EXPECT_EQ(AsString(split.Extract("a.txt")), "split!");
}

TEST(Archive, CompressibleKindsFollowExtensionAndSize) {
  struct Case {
    const char* name;
    int64_t size;
    bool compressible;
  };
  const Case cases[] = {
      {"a.txt", 100, true},       {"bgm\\Title.OGG", 100, false}, {"movie.mpeg", 100, false},
      {"x.dat", 100, false},      {"noext", 100, false},          {"a.txt", 0x4FFFFF, true},
      {"a.txt", 0x500000, false}, {"dir.wav\\a.nsb", 100, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TVrFileCollection::IsCompressibleName(c.name, c.size), c.compressible) << c.name;
  }
}

TEST(Archive, RewritingTheOpenSaveFileKeepsOldAndNewEntries) {
  TestDir dir;
  {
    TVrFileCollection first;
    first.AddMemoryEntry("status").Memory()->Bytes() = Bytes("one");
    first.SaveToFile(dir / "save.dat");
  }
  TVrFileCollection save;
  save.Open(dir / "save.dat");
  save.AddMemoryEntry("slot1").Memory()->Bytes() = Bytes("two");
  save.SaveToFile(dir / "save.dat");  // reads "status" from the file it replaces
  TVrFileCollection again;
  again.Open(dir / "save.dat");
  EXPECT_EQ(AsString(again.Extract("status")), "one");
  EXPECT_EQ(AsString(again.Extract("slot1")), "two");
  // Nothing is left behind beside the save file.
  int files = 0;
  for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(Archive, LookupAgreesWithTheBucketChainsThroughAddsAndRemovals) {
  TVrFileCollection c;
  // All of these share one name bucket.
  for (int i = 0; i < 300; ++i) c.AddFolderEntry("cg\\bg" + std::to_string(1000 + i) + ".fip");
  c.AddMemoryEntry("CG\\BG1005.FIP");  // replaces the older entry of that name
  EXPECT_EQ(c.Count(), 300);
  EXPECT_EQ(c.IndexOf("cg\\bg1005.fip"), 299);
  c.Remove("cg\\bg1000.fip");
  for (int i = 1; i < 300; ++i) {
    const std::string name = "Cg\\Bg" + std::to_string(1000 + i) + ".Fip";
    EXPECT_EQ(c.IndexOf(name), c.THashCollection::IndexOf(name)) << name;
  }
  EXPECT_EQ(c.IndexOf("cg\\bg1000.fip"), -1);
  c.Entry(0).SetName("renamed");
  EXPECT_EQ(c.IndexOf("RENAMED"), 0);
  EXPECT_EQ(c.IndexOf("cg\\bg1001.fip"), -1);
  c.Clear();
  EXPECT_EQ(c.IndexOf("renamed"), -1);
}

}  // namespace
}  // namespace novu

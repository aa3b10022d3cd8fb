// Motion files: every version's fields and gates, damaged files, parent links and the names
// stored relative to the film's folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/binary_writer.h"
#include "platform/error.h"
#include "render/film_file.h"

namespace novu::render {
namespace {

// A film with one track of every kind, values away from their defaults.
FilmFile EveryKind(int version) {
  FilmFile film;
  film.version = version;
  film.screen = {640, 480};
  film.background = 0x102030;
  film.relative = version >= 102 ? 1 : 0;
  film.reference = version >= 104 ? Point{7, 8} : Point{};
  film.loop_start = version >= 106 ? 12 : 0;
  for (int kind = 0; kind < kFrameListKindCount; ++kind) {
    auto list = TCustomFrameList::Create(static_cast<uint8_t>(kind));
    film.lists().push_back(std::move(list));
  }
  auto& image = static_cast<TImageFrameList&>(*film.lists()[kImageList]);
  image.image = "pic\\logo.fip";
  image.pos_end = {100, 50};
  image.scale_x_end = 2.5;
  if (version >= 105) image.scale_y_end = 0.5;
  if (version < 105) image.scale_y_end = image.scale_x_end;
  if (version >= 101) image.clip.size_end = {3, 4};
  auto& label = static_cast<TLabelFrameList&>(*film.lists()[kLabelList]);
  label.text = "Title";
  label.font_name = "Gothic";
  if (version >= 103) label.halign = 2;
  auto& sound = static_cast<TSoundFrameList&>(*film.lists()[kSoundList]);
  sound.sound = "se\\bell.wav";
  sound.volume_start = 500;
  auto& tile = static_cast<TTileFrameList&>(*film.lists()[kTileList]);
  tile.scroll_x_end = 64;
  auto& particle = static_cast<TParticleFrameList&>(*film.lists()[kParticleList]);
  particle.p_end[2] = 0.25;
  auto& fire = static_cast<TFireFrameList&>(*film.lists()[kFireList]);
  fire.power = 200;
  fire.zoom_y_end = 3.0;
  auto& wipe = static_cast<TWipeFrameList&>(*film.lists()[kTransitionList]);
  wipe.type = 5;
  if (version >= 101) wipe.rule = "rule\\a.fip";
  return film;
}

TEST(FilmFileTest, EveryVersionReadsBackWhatWasWritten) {
  for (int version = FilmFile::kOldestVersion; version <= FilmFile::kNewestVersion; ++version) {
    SCOPED_TRACE(version);
    const std::vector<uint8_t> bytes = EveryKind(version).Save();
    FilmFile read;
    read.Load(bytes);
    ASSERT_EQ(read.lists().size(), static_cast<size_t>(kFrameListKindCount));
    for (int kind = 0; kind < kFrameListKindCount; ++kind) {
      EXPECT_EQ(read.lists()[kind]->Kind(), kind);
    }
    EXPECT_EQ(read.Save(), bytes);
    const auto& image = static_cast<const TImageFrameList&>(*read.lists()[kImageList]);
    EXPECT_EQ(image.image, "pic\\logo.fip");
    EXPECT_DOUBLE_EQ(image.scale_y_end, version >= 105 ? 0.5 : 2.5);
    EXPECT_EQ(read.relative, version >= 102 ? 1 : 0);
  }
}

TEST(FilmFileTest, OldTimeBaseIsDoubledAndOldVolumesMapped) {
  for (const int version : {106, 107}) {
    SCOPED_TRACE(version);
    FilmFile film = EveryKind(version);
    film.loop_start = 30;
    auto& image = *film.lists()[kImageList];
    struct Timing final : FrameListFields {
      int v;
      int version() const override { return v; }
      void I32(std::string_view name, int32_t& value) override {
        if (name == "length") value = 40;
        if (name == "start") value = 10;
      }
      void U8(std::string_view, uint8_t&) override {}
      void F64(std::string_view, double&) override {}
      void Str(std::string_view, std::string&) override {}
      void Pt(std::string_view, Point&) override {}
    } timing;
    timing.v = version;
    image.VisitRecord(timing);
    FilmFile read;
    read.Load(film.Save());
    const int factor = version <= 106 ? 2 : 1;
    EXPECT_EQ(read.LoopStart(), 30 * factor);
    EXPECT_EQ(read.lists()[kImageList]->Length(), 40 * factor);
    EXPECT_EQ(read.lists()[kImageList]->AbsoluteStart(), 10 * factor);
    EXPECT_EQ(read.Length(), 50 * factor);
    const auto& sound = static_cast<const TSoundFrameList&>(*read.lists()[kSoundList]);
    EXPECT_EQ(sound.VolumeStart(), 1050);  // 500 / 10 + 1000 in both: volumes mapped up to 107
  }
}

TEST(FilmFileTest, ForeignMagicGivesAnEmptyFilmDamageIsRefused) {
  FilmFile film;
  const std::string foreign = "NotAFilm!!108 and some more bytes";
  film.Load(std::span(reinterpret_cast<const uint8_t*>(foreign.data()), foreign.size()));
  EXPECT_TRUE(film.lists().empty());
  EXPECT_EQ(film.Length(), 0);

  const std::vector<uint8_t> good = EveryKind(108).Save();
  struct Damage {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Damage> damaged;
  damaged.push_back({"cut short", {good.begin(), good.end() - 3}});
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  trailing.push_back(0);
  damaged.push_back({"trailing bytes (wider reals)", trailing});
  std::vector<uint8_t> count = good;
  const size_t count_at = 13 + 8 + 4 + 1 + 8 + 4;
  const int32_t huge = 0x7FFFFFFF;
  std::memcpy(&count[count_at], &huge, 4);
  damaged.push_back({"list count beyond the bytes", count});
  std::vector<uint8_t> kind = good;
  kind[count_at + 4] = 9;
  damaged.push_back({"unknown kind", kind});
  std::vector<uint8_t> version = good;
  version[11] = 'x';
  damaged.push_back({"version not digits", version});
  for (const Damage& d : damaged) {
    FilmFile read = EveryKind(100);
    EXPECT_THROW(read.Load(d.bytes), NovuError) << d.what;
    EXPECT_TRUE(read.lists().empty()) << d.what;
    EXPECT_EQ(read.Length(), 0) << d.what;
  }
}

TEST(FilmFileTest, ParentIndexesOutsideTheListOrClosingACycleLinkNothing) {
  struct Case {
    std::vector<int32_t> parents;
    std::vector<int> linked;  // index of each list's parent after linking, -1 none
  };
  const Case cases[] = {
      {{-1, 0, 1}, {-1, 0, 1}},
      {{0, 5, -7}, {-1, -1, -1}},  // itself, beyond the count, negative
      {{1, 0}, {1, -1}},           // the second link would close a cycle
      {{2, 0, 1}, {2, 0, -1}},
  };
  for (const Case& c : cases) {
    FilmFile film;
    for (int32_t parent : c.parents) {
      film.lists().push_back(TCustomFrameList::Create(kBoxList));
      film.lists().back()->set_parent_index(parent);
    }
    film.Link();
    for (size_t i = 0; i < c.parents.size(); ++i) {
      const TCustomFrameList* parent = film.lists()[i]->parent();
      const int want = c.linked[i];
      EXPECT_EQ(parent, want < 0 ? nullptr : film.lists()[want].get()) << "list " << i;
    }
  }
}

TEST(FilmNameTest, RelativeNamesStayUnderTheDataRoot) {
  struct Case {
    const char* folder;
    const char* name;
    const char* want;
  };
  const Case cases[] = {
      {"data\\film\\", "..\\pic\\a", "data\\pic\\a"},
      {"data\\film\\", "pic\\a", "data\\film\\pic\\a"},
      {"data\\film\\", "..\\..\\..\\..\\etc\\a", "etc\\a"},
      {"data\\film\\", "x\\..\\..\\..\\..\\b", "b"},
      {"data\\film\\", "\\pic\\a", "pic\\a"},
      {"", "a.fip", "a.fip"},
      {"data/film/", "../a", "data\\a"},
      {"data\\film\\", "", ""},
      // A trail byte 0x5C is no delimiter: "表" is 0x95 0x5C.
      {"data\\\x95\x5C\\", "..\\a", "data\\a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveFilmName(c.folder, c.name), c.want) << c.folder << " + " << c.name;
  }
  EXPECT_EQ(FilmFolderOf("data\\film\\title.nmt"), "data\\film\\");
  EXPECT_EQ(FilmFolderOf("title.nmt"), "");
  EXPECT_EQ(FilmFolderOf("d\\\x95\x5C"), "d\\");
}

}  // namespace
}  // namespace novu::render

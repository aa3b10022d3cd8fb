// The cinema control: a film at 60 frames a second among the main scene's objects or in a
// scene of its own, its play-end event once, looping, and its saved record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/film_manager.h"
#include "controls/novu_cinema.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"
#include "objects/base_list.h"
#include "render/film_file.h"

namespace novu {
namespace {

using render::FilmFile;
using testing::ImageScene;

void Time(render::TCustomFrameList& list, int32_t start, int32_t length) {
  struct Timing final : render::FrameListFields {
    int32_t start, length;
    int version() const override { return 108; }
    void I32(std::string_view name, int32_t& value) override {
      if (name == "start") value = start;
      if (name == "length") value = length;
    }
    void U8(std::string_view, uint8_t&) override {}
    void F64(std::string_view, double&) override {}
    void Str(std::string_view, std::string&) override {}
    void Pt(std::string_view, Point&) override {}
  } timing;
  timing.start = start;
  timing.length = length;
  list.VisitRecord(timing);
}

// A film of one green box filling (0, 0, 40, 30) for `length` frames, optionally on a red
// background (which makes it play in a scene of its own).
std::vector<uint8_t> BoxFilm(int32_t length, int32_t background = -1, int32_t loop_start = 0) {
  FilmFile file;
  file.screen = {40, 30};
  file.background = background;
  file.loop_start = loop_start;
  auto box = std::make_unique<render::TBoxFrameList>();
  Time(*box, 0, length);
  box->rect.width_start = box->rect.width_end = 40;
  box->rect.height_start = box->rect.height_end = 30;
  box->fill_start = box->fill_end = testing::kGreen;
  file.lists().push_back(std::move(box));
  return file.Save();
}

struct CinemaScene : ImageScene {
  CinemaScene() { list.SetProcessState(&state); }
  TNovuCinema& Cinema(const std::string& film, const std::string& name = "movie") {
    auto& cinema = Add<TNovuCinema>(LT_CINEMA, name);
    cinema.SetLeft(100);
    cinema.SetTop(50);
    cinema.SetProperty(PR_ONPLAYEND, std::string("*ended"));
    cinema.SetProperty(PR_SOURCE, film);
    return cinema;
  }
  int PlayEnds() const {
    int count = 0;
    for (const auto& entry : const_cast<TNovuBaseList&>(list).queue().entries()) {
      if (entry.event_id == PR_ONPLAYEND) ++count;
    }
    return count;
  }
};

TEST(CinemaTest, FilmAmongTheSceneTakesItsScreenSizeAndEndsOnce) {
  CinemaScene s;
  s.store.files["f.nmt"] = BoxFilm(30);
  TNovuCinema& cinema = s.Cinema("f.nmt");
  EXPECT_EQ(cinema.nested(), nullptr);
  EXPECT_EQ(cinema.width(), 40);
  EXPECT_EQ(PropAsInt(cinema.GetProperty(PR_COUNT)), 30);
  s.Tick(15);
  s.Draw();
  EXPECT_EQ(s.PixelAt(101, 51), testing::Raw32(testing::kGreen));  // the box, under the cinema
  for (int tick = 0; tick < 60; ++tick) s.Tick(15);
  EXPECT_TRUE(cinema.ended());
  EXPECT_EQ(cinema.Frame(), 29);
  EXPECT_EQ(s.PlayEnds(), 1);
  EXPECT_FALSE(PropAsBool(cinema.GetProperty(PR_PLAYING)));
}

TEST(CinemaTest, FilmWithBackgroundPlaysInItsOwnSceneAndLoops) {
  CinemaScene s;
  s.store.files["f.nmt"] = BoxFilm(20, testing::kRed, 10);
  TNovuCinema& cinema = s.Cinema("f.nmt");
  cinema.SetProperty(PR_REPEAT, true);
  ASSERT_NE(cinema.nested(), nullptr);
  EXPECT_EQ(cinema.width(), 40);
  EXPECT_EQ(cinema.height(), 30);
  std::vector<int32_t> frames;
  for (int tick = 0; tick < 40; ++tick) {
    s.Tick(15);
    frames.push_back(cinema.Frame());
  }
  EXPECT_EQ(s.PlayEnds(), 0);
  EXPECT_LT(*std::max_element(frames.begin(), frames.end()), 20);
  EXPECT_GE(frames.back(), 10);  // looped back to the loop start, not to 0
  s.Draw();
  EXPECT_EQ(s.PixelAt(100, 50), testing::Raw32(testing::kGreen));
  EXPECT_EQ(s.PixelAt(99, 50), 0u);  // nothing outside the cinema
}

TEST(CinemaTest, FilmWithoutFramesOrFileEndsAtOnce) {
  CinemaScene s;
  FilmFile empty;
  s.store.files["empty.nmt"] = empty.Save();
  TNovuCinema& repeating = s.Cinema("empty.nmt", "a");
  repeating.SetProperty(PR_REPEAT, true);
  TNovuCinema& once = s.Cinema("empty.nmt", "b");
  TNovuCinema& missing = s.Cinema("missing.nmt", "c");
  for (int tick = 0; tick < 4; ++tick) s.Tick(15);
  EXPECT_EQ(s.PlayEnds(), 1);  // "b" only; a repeating film never ends
  EXPECT_TRUE(once.ended());
  EXPECT_EQ(missing.film(), nullptr);
  EXPECT_EQ(PropAsInt(repeating.GetProperty(PR_COUNT)), 0);
}

TEST(CinemaTest, SavedRecordResumesAtItsFrameUnlessRewound) {
  for (const bool rewind : {false, true}) {
    CinemaScene s;
    s.store.files["f.nmt"] = BoxFilm(100);
    TNovuCinema& cinema = s.Cinema("f.nmt");
    cinema.SetProperty(PR_REWINDONLOAD, rewind);
    cinema.SetProperty(PR_VOLUME, 700);
    for (int tick = 0; tick < 20; ++tick) s.Tick(15);
    const int32_t frame = cinema.Frame();
    ASSERT_GT(frame, 10);
    BinaryWriter out;
    cinema.SaveToStream(out);
    auto& loaded = s.list.Add<TNovuCinema>(s.Env());
    BinaryReader in(out.bytes());
    loaded.LoadFromStream(in, ObjectLoadContext{200});
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_SOURCE)), "f.nmt");
    EXPECT_EQ(PropAsInt(loaded.GetProperty(PR_VOLUME)), 700);
    s.Tick(0);
    s.Tick(0);
    EXPECT_EQ(loaded.Frame(), rewind ? 0 : frame) << rewind;
    BinaryWriter again;
    loaded.SaveToStream(again);
    if (!rewind) {
      EXPECT_EQ(again.bytes(), out.bytes());
    }
  }
}

}  // namespace
}  // namespace novu

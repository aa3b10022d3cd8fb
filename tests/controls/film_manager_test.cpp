// The film player: tracks create and release their controls in cinema use, transition tracks
// flip the screens by parity, and motion films move an existing picture (relative to where it
// stood, looping at the loop start, ending at once when they have no frames).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/film_manager.h"
#include "controls/novu_box.h"
#include "controls/novu_custom_image.h"
#include "controls/novu_images.h"
#include "image_fixtures.h"
#include "objects/screen_transition.h"
#include "render/film_file.h"

namespace novu {
namespace {

using render::FilmFile;
using testing::ImageScene;
using testing::MakeFip;
using testing::Solid;

// Sets a track's stored timing (and parent) as a file would hold them.
void Time(render::TCustomFrameList& list, int32_t start, int32_t length, int version = 108,
          int32_t parent = -1) {
  struct Timing final : render::FrameListFields {
    int32_t start, length, parent;
    int v;
    int version() const override { return v; }
    void I32(std::string_view name, int32_t& value) override {
      if (name == "start") value = start;
      if (name == "length") value = length;
      if (name == "parent") value = parent;
    }
    void U8(std::string_view, uint8_t&) override {}
    void F64(std::string_view, double&) override {}
    void Str(std::string_view, std::string&) override {}
    void Pt(std::string_view, Point&) override {}
  } timing;
  timing.start = start;
  timing.length = length;
  timing.parent = parent;
  timing.v = version;
  list.VisitRecord(timing);
}

template <typename T>
T& AddTrack(FilmFile& film, int32_t start, int32_t length, int32_t parent = -1) {
  auto list = std::make_unique<T>();
  Time(*list, start, length, film.version, parent);
  T& added = *list;
  film.lists().push_back(std::move(list));
  return added;
}

// The controls films create on a base (their names start with 0x01 "FILM").
std::vector<TNovuControl*> FilmControls(TNovuControl& parent) {
  std::vector<TNovuControl*> found;
  for (const auto& child : parent.children()) {
    if (child->name().starts_with("\x01"
                                  "FILM") &&
        child->AsControl() != nullptr) {
      found.push_back(child->AsControl());
    }
  }
  return found;
}

TEST(FilmCinemaTest, ImageTrackPlacesItsPictureOnlyInsideItsWindow) {
  ImageScene s;
  s.store.files["pic\\a.fip"] = MakeFip({Solid(testing::kRed, 4, 4)});
  FilmFile file;
  auto& image = AddTrack<render::TImageFrameList>(file, 10, 11);
  image.image = "..\\pic\\a.fip";  // the film lies in film\ : the picture in pic\.
  image.pos_start = {0, 20};
  image.pos_end = {100, 20};
  TFilmManager film(s.Env());
  film.SetCinema(&s.list, nullptr);
  film.LoadFromBytes(file.Save(), "film\\title.nmt");
  film.ApplyHeader();
  ASSERT_EQ(film.Length(), 21);

  film.ApplyFrame(5);
  EXPECT_TRUE(FilmControls(s.list.base(0)).empty());
  film.ApplyFrame(15);
  std::vector<TNovuControl*> shown = FilmControls(s.list.base(0));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]->left(), 50);
  EXPECT_EQ(shown[0]->top(), 20);
  s.Tick(16);
  EXPECT_EQ(shown[0]->width(), 4);
  s.Draw();
  EXPECT_EQ(s.PixelAt(51, 21), testing::Raw32(testing::kRed));
  film.ApplyFrame(21);
  EXPECT_TRUE(FilmControls(s.list.base(0)).empty());
}

TEST(FilmCinemaTest, BoxTrackMovesAndColoursItsBox) {
  ImageScene s;
  FilmFile file;
  auto& box = AddTrack<render::TBoxFrameList>(file, 0, 3);
  box.rect.pos_end = {20, 10};
  box.rect.width_start = box.rect.height_start = 10;
  box.rect.width_end = 30;
  box.rect.height_end = 10;
  box.fill_end = 0x0000FE;
  TFilmManager film(s.Env());
  film.SetCinema(&s.list, nullptr);
  film.LoadFromBytes(file.Save(), "b.nmt");
  film.ApplyFrame(1);
  std::vector<TNovuControl*> shown = FilmControls(s.list.base(0));
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_NE(dynamic_cast<TNovuBox*>(shown[0]), nullptr);
  EXPECT_EQ(shown[0]->GetBoundsRect(), (Rect{10, 5, 30, 15}));
  EXPECT_EQ(PropAsInt(shown[0]->GetProperty(PR_COLOR)), 0x00007F);
}

// A transition that records what the film asked of it.
struct Recorded {
  int32_t kind = 0, duration = 0, elapsed = -1, params[2] = {0, 0};
  std::string rule;
  bool prepared = false;
  int made = 0;
};

class RecordingTransition final : public ScreenTransition {
 public:
  explicit RecordingTransition(Recorded& r) : r_(r) {}
  void SetParam(int index, int32_t value) override { r_.params[index & 1] = value; }
  void SetRuleName(std::string name) override { r_.rule = std::move(name); }
  void Prepare() override { r_.prepared = true; }
  bool Step(int32_t elapsed) override {
    r_.elapsed = elapsed;
    return false;
  }
  Rect DirtyRect() const override { return {}; }

 private:
  Recorded& r_;
};

TEST(FilmCinemaTest, TransitionTracksFlipTheFrontBaseByParity) {
  ImageScene s;
  Recorded recorded;
  s.list.SetTransitionMaker([&](const ScreenTransitionRequest& request, render::TCustomDIBX&,
                                const render::TCustomDIBX&, const render::TCustomDIBX&) {
    recorded.kind = request.kind;
    recorded.duration = request.duration;
    ++recorded.made;
    return std::make_unique<RecordingTransition>(recorded);
  });
  FilmFile file;
  auto& first = AddTrack<render::TWipeFrameList>(file, 10, 40);  // ends at 50
  first.type = 2;
  auto& second = AddTrack<render::TWipeFrameList>(file, 100, 40);  // ends at 140
  second.type = 7;
  second.param0 = 11;
  second.param1 = 22;
  second.rule = "rule.fip";
  TFilmManager film(s.Env());
  film.SetCinema(&s.list, nullptr);
  film.LoadFromBytes(file.Save(), "film\\f.nmt");
  ASSERT_TRUE(film.NeedsOwnScene());

  film.ApplyFrame(60);  // the first has completed: base 1 in front
  EXPECT_EQ(s.list.active_index(), 1);
  EXPECT_EQ(s.list.transition(), nullptr);

  film.ApplyFrame(110);
  s.list.Paint();
  EXPECT_EQ(s.list.active_index(), 1);
  EXPECT_EQ(recorded.kind, 7);
  EXPECT_EQ(recorded.elapsed, 10);
  EXPECT_EQ(recorded.duration, 40);
  EXPECT_EQ(recorded.params[0], 11);
  EXPECT_EQ(recorded.params[1], 22);
  EXPECT_EQ(recorded.rule, "film\\rule.fip");
  EXPECT_TRUE(recorded.prepared);
  film.ApplyFrame(120);  // the same track goes on: no new transition
  s.list.Paint();
  EXPECT_EQ(recorded.made, 1);
  EXPECT_EQ(recorded.elapsed, 20);

  film.ApplyFrame(150);  // both completed: parity 0 again
  EXPECT_EQ(s.list.active_index(), 0);
  EXPECT_EQ(s.list.transition(), nullptr);
}

// A motion file of `version` moving a picture right by 100 over `length` stored frames.
std::vector<uint8_t> SlideRight(int version, int32_t length, int32_t loop_start, bool relative) {
  FilmFile file;
  file.version = version;
  file.relative = relative ? 1 : 0;
  file.reference = {10, 10};
  file.loop_start = loop_start;
  auto& image = AddTrack<render::TImageFrameList>(file, 0, length);
  image.image = "a.fip";
  image.pos_start = {10, 10};
  image.pos_end = {110, 10};
  return file.Save();
}

TEST(FilmMotionTest, RelativeMotionMovesThePictureFromWhereItStands) {
  ImageScene s;
  s.list.SetProcessState(&s.state);  // motions run on the list's clock
  s.store.files["a.fip"] = MakeFip({Solid(testing::kGreen, 4, 4)});
  s.store.files["m.nmt"] = SlideRight(108, 101, 0, true);
  auto& images = s.Add<TNovuImages>(LT_IMAGES, "walker");
  images.SetLeft(200);
  images.SetTop(300);
  images.SetProperty(PR_SOURCE, std::string("m.nmt"));
  ASSERT_NE(images.GetMotion(), nullptr);
  for (int i = 0; i < 3; ++i) s.Tick(0);  // the first frames wait before the clock runs
  EXPECT_EQ(images.ScreenX(), 200);
  EXPECT_EQ(images.ScreenY(), 300);
  s.Tick(500);  // frame 30
  EXPECT_EQ(images.ScreenX(), 230);
  EXPECT_EQ(images.left(), 200);  // the script's position stays
  EXPECT_EQ(images.width(), 4);
  s.Draw();
  EXPECT_EQ(s.PixelAt(231, 301), testing::Raw32(testing::kGreen));
}

TEST(FilmMotionTest, OldFilmsLoopAtTheDoubledLoopStart) {
  ImageScene s;
  s.list.SetProcessState(&s.state);
  s.store.files["a.fip"] = MakeFip({Solid(testing::kGreen, 4, 4)});
  // Version 106: 40 stored frames are 80, loop start 30 is 60.
  s.store.files["m.nmt"] = SlideRight(106, 40, 30, false);
  auto& images = s.Add<TNovuImages>(LT_IMAGES, "looper");
  images.SetProperty(PR_REPEAT, true);
  images.SetProperty(PR_SOURCE, std::string("m.nmt"));
  auto* motion = dynamic_cast<TNovuFilmMotion*>(images.GetMotion());
  ASSERT_NE(motion, nullptr);
  EXPECT_EQ(motion->film().Length(), 80);
  EXPECT_EQ(motion->film().LoopStart(), 60);
  for (int i = 0; i < 3; ++i) s.Tick(0);
  s.Tick(1000);  // frame 60
  EXPECT_EQ(motion->frame(), 60);
  s.Tick(350);  // frame 81: past the end, back to 81 mod 80 + 60
  EXPECT_EQ(motion->frame(), 61);
  EXPECT_FALSE(motion->finished());
}

TEST(FilmMotionTest, FilmWithoutFramesEndsAtOnce) {
  ImageScene s;
  s.list.SetProcessState(&s.state);
  FilmFile empty;
  s.store.files["empty.nmt"] = empty.Save();
  s.store.files["foreign.nmt"] = std::vector<uint8_t>(40, 'x');
  for (const char* name : {"empty.nmt", "foreign.nmt"}) {
    auto& images = s.Add<TNovuImages>(LT_IMAGES, name);
    images.SetProperty(PR_SOURCE, std::string(name));
    auto* motion = dynamic_cast<TNovuFilmMotion*>(images.GetMotion());
    ASSERT_NE(motion, nullptr) << name;
    s.Tick(15);
    EXPECT_TRUE(motion->finished()) << name;
  }
  // A damaged file gives no motion at all.
  std::vector<uint8_t> cut = SlideRight(108, 10, 0, false);
  cut.resize(cut.size() - 2);
  s.store.files["cut.nmt"] = cut;
  auto& images = s.Add<TNovuImages>(LT_IMAGES, "cut");
  images.SetProperty(PR_SOURCE, std::string("cut.nmt"));
  EXPECT_EQ(images.GetMotion(), nullptr);
}

}  // namespace
}  // namespace novu

#include <gtest/gtest.h>

#include "objects/novu_motion.h"
#include "timed_scene.h"

namespace novu::testing {
namespace {

struct FakeFilm final : MotionFilm {
  int32_t length = 60;
  int32_t loop_start = 0;
  bool relative = true;
  std::vector<int32_t> applied;
  std::vector<Point> starts;
  int32_t priority = -1;

  int32_t Length() const override { return length; }
  int32_t LoopStart() const override { return loop_start; }
  bool IsRelative() const override { return relative; }
  void SetStartPosition(int32_t x, int32_t y) override { starts.push_back({x, y}); }
  void SetPriority(int32_t p) override { priority = p; }
  void ApplyFrame(int32_t frame) override { applied.push_back(frame); }
};

// A control playing a film, that answers the repeat flag and a play-end label.
class Player final : public TNovuControl {
 public:
  using TNovuControl::TNovuControl;
  ComponentType GetType() const override { return LT_IMAGES; }
  static const PropertyTable& Table() {
    using R = PropertyRows<Player>;
    static const PropertyTable table(
        &TNovuControl::Table(),
        {
            R::Answer(PR_REPEAT, [](const Player& p) { return p.repeat; }),
            R::Answer(PR_ONPLAYEND, [](const Player&) { return std::string("end.nsb"); }),
        });
    return table;
  }
  const PropertyTable& Properties() const override { return Table(); }
  bool repeat = false;
};

struct FilmScene : TimedScene {
  FilmScene() {
    player = &list.AddTo<Player>(list.base(0));
    player->SetBounds(30, 40, 10, 10);
    auto owned = std::make_unique<FakeFilm>();
    film = owned.get();
    auto motion = std::make_unique<TNovuFilmMotion>(*player, std::move(owned));
    this->motion = motion.get();
    player->SetMotion(std::move(motion));
  }
  Player* player;
  FakeFilm* film;
  TNovuFilmMotion* motion;
};

size_t PlayEnds(TimedScene& scene) {
  size_t n = 0;
  for (const auto& e : scene.events()) n += e.event_id == PR_ONPLAYEND ? 1 : 0;
  return n;
}

TEST(MotionFilmTest, SixtyFramesWithoutRepeatEndOnTheLastFrameAfterASecondAndReportOnce) {
  FilmScene scene;
  int32_t ended_at = -1;
  for (int i = 0; i < 100; ++i) {
    scene.Frame(15);
    if (ended_at < 0 && scene.motion->finished()) ended_at = scene.state.game_clock;
  }
  // Two frames of start-up, then 15 ms a frame until the time rounds to frame 60.
  EXPECT_EQ(ended_at, 15 * 69);
  EXPECT_EQ(scene.film->applied.back(), 59);
  EXPECT_EQ(scene.film->applied.front(), 0);
  EXPECT_EQ(PlayEnds(scene), 1u);
  EXPECT_EQ(scene.film->starts.front(), (Point{30, 40}));
}

TEST(MotionFilmTest, RepeatingFilmGoesOnFromItsLoopStart) {
  FilmScene scene;
  scene.player->repeat = true;
  scene.film->loop_start = 10;
  for (int i = 0; i < 75; ++i) scene.Frame(15);
  EXPECT_FALSE(scene.motion->finished());
  EXPECT_EQ(PlayEnds(scene), 0u);
  const auto& applied = scene.film->applied;
  const auto wrap = std::find(applied.begin(), applied.end(), 59);
  ASSERT_NE(wrap, applied.end());
  ASSERT_NE(wrap + 1, applied.end());
  EXPECT_EQ(*(wrap + 1), 10);  // frame 60 becomes 60 mod 60 + 10
}

TEST(MotionFilmTest, FilmWithoutFramesEndsAtOnceEvenWhenRepeating) {
  for (const bool repeat : {false, true}) {
    FilmScene scene;
    scene.player->repeat = repeat;
    scene.film->length = 0;
    scene.Frame(15);
    scene.Frame(15);
    EXPECT_TRUE(scene.motion->finished()) << repeat;
    EXPECT_TRUE(scene.film->applied.empty()) << repeat;
    EXPECT_EQ(PlayEnds(scene), 1u) << repeat;
  }
}

TEST(MotionFilmTest, RelativeFilmFollowsTheControlEvenAfterItsEnd) {
  FilmScene scene;
  scene.film->length = 3;
  for (int i = 0; i < 10; ++i) scene.Frame(15);
  ASSERT_TRUE(scene.motion->finished());
  const size_t applied = scene.film->applied.size();
  scene.player->SetLeft(70);
  scene.Frame(15);
  // The last frame is shown again at the control's new place.
  EXPECT_EQ(scene.film->starts.back(), (Point{70, 40}));
  ASSERT_EQ(scene.film->applied.size(), applied + 1);
  EXPECT_EQ(scene.film->applied.back(), 2);
  // An absolute film stays where it is.
  FilmScene fixed;
  fixed.film->relative = false;
  fixed.Frame(15);
  fixed.player->SetLeft(70);
  fixed.Frame(15);
  EXPECT_EQ(fixed.film->starts, (std::vector<Point>{{0, 0}}));
}

TEST(MotionFilmTest, PausedAnimationHoldsTheFrame) {
  FilmScene scene;
  for (int i = 0; i < 10; ++i) scene.Frame(15);
  const int32_t elapsed = scene.motion->elapsed();
  scene.player->SetProperty(PR_ANIPAUSED, true);
  for (int i = 0; i < 10; ++i) scene.Frame(15);
  EXPECT_EQ(scene.motion->elapsed(), elapsed);
}

}  // namespace
}  // namespace novu::testing

// The particle emitter: how often its expressions let it emit, the motion kinds moving its
// particles in 16 ms steps, its end after a duration, and its saved record.
#include <gtest/gtest.h>

#include <string>

#include "controls/novu_particle.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/novu_parser.h"
#include "image_fixtures.h"

namespace novu {
namespace {

using testing::ImageScene;

struct ParticleScene : ImageScene {
  ParticleScene() {
    list.SetProcessState(&state);
    store.files["flake.fip"] = testing::MakeFip({testing::Solid(testing::kWhite, 2, 2)});
  }
  // An emitter over (0, 0, 200, 100) with the given delay expression ("" for none).
  TNovuParticle& Emitter(const std::string& delay, uint8_t kind = PM_SNOW) {
    auto& emitter = Add<TNovuParticle>(LT_PARTICLE, "snow");
    emitter.SetBounds(0, 0, 200, 100);
    TNovuParser x, y, d;
    x.LoadFromText("50");
    y.LoadFromText("0");
    if (!delay.empty()) d.LoadFromText(delay);
    emitter.SetExpressions(&x, &y, &d);
    emitter.SetProperty(PR_SOURCE, std::string("flake.fip"));
    emitter.SetProperty(PR_PARTMOTION, kind);
    emitter.SetProperty(PR_PARAM1, 1.0L);  // one pixel down a step
    return emitter;
  }
};

TEST(ParticleEmitterTest, DelayOfOneStillWaitsTwoMilliseconds) {
  ParticleScene s;
  TNovuParticle& emitter = s.Emitter("1");
  s.Tick(16);  // starts: one particle at once, the next 2 ms later
  EXPECT_EQ(emitter.ParticleCount(), 1u);
  s.Tick(16);  // 16 ms: eight more, 2 ms apart
  EXPECT_EQ(emitter.ParticleCount(), 9u);
}

TEST(ParticleEmitterTest, NoDelayValueEmitsAtMostOnePerFrame) {
  ParticleScene s;
  TNovuParticle& emitter = s.Emitter("");
  s.Tick(16);
  s.Tick(16);
  s.Tick(48);  // three steps, still one particle
  EXPECT_EQ(emitter.ParticleCount(), 3u);
}

TEST(ParticleEmitterTest, NoMotionKindCreatesNothing) {
  ParticleScene s;
  TNovuParticle& emitter = s.Emitter("1", PM_NONE);
  for (int i = 0; i < 5; ++i) s.Tick(16);
  EXPECT_EQ(emitter.ParticleCount(), 0u);
}

TEST(ParticleEmitterTest, SnowFallsAndTheEmitterEndsAfterItsDuration) {
  ParticleScene s;
  TNovuParticle& emitter = s.Emitter("100");
  emitter.SetProperty(PR_PARAM1, 10.0L);  // ten pixels a step: out of the 100 rows in 10 steps
  emitter.SetProperty(PR_DURATION, 1000);
  s.Tick(16);
  ASSERT_EQ(emitter.ParticleCount(), 1u);
  const TNovuControl* first = emitter.Child(0)->AsControl();
  EXPECT_EQ(first->top(), 0);
  EXPECT_EQ(first->offset_x(), 1);  // anchored at its centre
  s.Tick(16);
  EXPECT_EQ(first->top(), 10);
  EXPECT_EQ(first->left(), 50);  // no sway: P1 + R is 0
  bool gone = false;
  for (int tick = 0; tick < 120 && !gone; ++tick) {
    s.Tick(16);
    gone = !s.list.IsRegistered(&emitter);
    if (!gone && tick > 65) {
      EXPECT_EQ(emitter.state(), 2);
    }
  }
  EXPECT_TRUE(gone);
}

TEST(ParticleEmitterTest, HugePrerollIsCapped) {
  ParticleScene s;
  TNovuParticle& emitter = s.Emitter("1000");
  emitter.SetProperty(PR_INDEX, 1000000000);
  s.Tick(16);
  EXPECT_LE(emitter.ParticleCount(), static_cast<size_t>(TNovuParticle::kMaxPrerollMs / 1000 + 1));
}

TEST(ParticleEmitterTest, SavedRecordRoundTrips) {
  ParticleScene s;
  TNovuParticle& emitter = s.Emitter("30");
  emitter.SetProperty(PR_PARAM3, 2.5L);
  emitter.SetProperty(PR_DURATION, 700);
  s.Tick(16);
  BinaryWriter out;
  emitter.SaveToStream(out);
  auto& loaded = s.list.Add<TNovuParticle>(s.Env());
  BinaryReader in(out.bytes());
  loaded.LoadFromStream(in, ObjectLoadContext{200});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(PropAsFloat(loaded.GetProperty(PR_PARAM3)), 2.5L);
  EXPECT_EQ(loaded.state(), 0);
  EXPECT_EQ(loaded.images().Count(), 1);
  BinaryWriter again;
  loaded.SaveToStream(again);
  // The particles are not saved: both records hold the emitter alone.
  EXPECT_EQ(again.bytes(), out.bytes());
}

}  // namespace
}  // namespace novu

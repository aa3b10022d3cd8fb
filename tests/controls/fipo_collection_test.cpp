#include "controls/fipo_collection.h"

#include <gtest/gtest.h>

#include "controls/novu_images.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"

namespace novu {
namespace {

using testing::FileStore;
using testing::ImageScene;
using testing::MakeFip;
using testing::Solid;

TEST(FipoCollection, UsersShareOneItemUntilTheLastLetsGo) {
  FileStore store;
  store.files["a.fip"] = MakeFip({Solid(testing::kRed)});
  TFipoCollection cache(store.Loader());
  int first = 0, second = 0;

  TFipoItem* a = cache.Acquire(&first, "a.fip", false, false);
  TFipoItem* b = cache.Acquire(&second, "A.FIP", false, false);
  cache.Acquire(&second, "a.fip", false, false);  // a user is listed once

  EXPECT_EQ(a, b);
  EXPECT_EQ(store.reads, 1);
  EXPECT_EQ(a->users().size(), 2u);
  cache.Release(a, &first);
  EXPECT_EQ(cache.Find("a.fip"), a);
  cache.Release(a, &second);
  EXPECT_EQ(cache.Find("a.fip"), nullptr);
  EXPECT_EQ(cache.size(), 0u);
}

TEST(FipoCollection, OptionsMakeSeparateItemsUnderSuffixedKeys) {
  FileStore store;
  store.files["a.fip"] = MakeFip({Solid(testing::kRed)});
  TFipoCollection cache(store.Loader());
  int user = 0;

  TFipoItem* plain = cache.Acquire(&user, "a.fip", false, false);
  TFipoItem* masked = cache.Acquire(&user, "a.fip", false, true);
  TFipoItem* both = cache.Acquire(&user, "a.fip", true, true);

  EXPECT_NE(plain, masked);
  EXPECT_EQ(masked->key(), "a.fip?m");
  EXPECT_EQ(both->key(), "a.fip?m?t");
  EXPECT_EQ(plain->Frame(0)->mask, nullptr);
  ASSERT_NE(masked->Frame(0)->mask, nullptr);
  EXPECT_EQ(masked->Frame(0)->mask->GetPixel(0, 0), 255u);
}

TEST(FipoCollection, ControlsShowingOneFileShareItsItem) {
  ImageScene s;
  s.store.files["pic.fip"] = MakeFip({Solid(testing::kRed)});
  auto& one = s.Add<TNovuImages>(LT_IMAGES, "one");
  auto& two = s.Add<TNovuImages>(LT_IMAGES, "two");
  one.SetSource("pic.fip");
  two.SetSource("pic.fip");

  ASSERT_EQ(s.cache.size(), 1u);
  EXPECT_EQ(s.cache.Find("pic.fip")->users().size(), 2u);
  s.list.ScheduleDeletion(one);
  s.list.Update();
  EXPECT_EQ(s.cache.Find("pic.fip")->users().size(), 1u);
  two.SetSource("");
  EXPECT_EQ(s.cache.size(), 0u);
}

// Whatever goes wrong with the file, the control gets one invisible 8 x 8 frame.
TEST(FipoCollection, UnusableFilesGiveTheInvisiblePlaceholder) {
  const std::vector<uint8_t> good = MakeFip({Solid(testing::kRed)});
  struct Case {
    const char* what;
    std::optional<std::vector<uint8_t>> data;
  };
  const Case cases[] = {
      {"missing", std::nullopt},
      {"empty", std::vector<uint8_t>{}},
      {"garbage", std::vector<uint8_t>{'F', 'i', 'p', 'o', '9', '9', '9', 1, 2, 3}},
      {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FileStore store;
    if (c.data) store.files["x.fip"] = *c.data;
    TFipoCollection cache(store.Loader());
    int user = 0;
    for (bool masked : {false, true}) {
      TFipoItem* item = cache.Acquire(&user, "x.fip", false, masked);
      ASSERT_EQ(item->FrameCount(), 1);
      EXPECT_TRUE(item->placeholder());
      const TFipoItemFrame& frame = *item->Frame(0);
      EXPECT_EQ(frame.surface->Width(), 8);
      EXPECT_EQ(frame.surface->Height(), 8);
      EXPECT_EQ(frame.surface->GetPixel(3, 3), 0u);
      EXPECT_EQ(frame.surface->KeyColor(), 0);
      EXPECT_EQ(frame.mask != nullptr, masked);
      if (masked) {
        EXPECT_EQ(frame.mask->GetPixel(3, 3), 0u);
      }
    }
  }
}

TEST(FipoCollection, FramesKeepTheirDelaysKeyAndMask) {
  FileStore store;
  testing::FrameSpec keyed = Solid(testing::kGreen, 3, 2, 0);
  keyed.key_colour = testing::kGreen;
  testing::FrameSpec alpha = Solid(testing::kBlue, 3, 2, 40);
  alpha.mask = [](int x, int) { return static_cast<uint8_t>(x * 100); };
  store.files["f.fip"] = MakeFip({keyed, alpha});
  TFipoCollection cache(store.Loader());
  int user = 0;

  TFipoItem* item = cache.Acquire(&user, "f.fip", false, false);

  ASSERT_EQ(item->FrameCount(), 2);
  EXPECT_EQ(item->width(), 3);
  EXPECT_EQ(item->height(), 2);
  EXPECT_EQ(item->Frame(0)->delay, 1);  // 0 is stored as 1
  EXPECT_EQ(item->total_time(), 41);
  EXPECT_EQ(item->Frame(0)->surface->KeyColor(), int64_t{testing::Raw32(testing::kGreen)});
  EXPECT_EQ(item->Frame(0)->mask, nullptr);
  ASSERT_NE(item->Frame(1)->mask, nullptr);
  EXPECT_EQ(item->Frame(1)->mask->GetPixel(2, 1), 200u);
  EXPECT_EQ(item->Frame(2), nullptr);
}

TEST(FipoCollection, ReloadKeepsTheSurfacesControlsHold) {
  FileStore store;
  store.files["r.fip"] = MakeFip({Solid(testing::kRed)});
  TFipoCollection cache(store.Loader());
  int user = 0;
  TFipoItem* item = cache.Acquire(&user, "r.fip", false, false);
  const render::TDIBX* surface = item->Frame(0)->surface.get();

  store.files["r.fip"] = MakeFip({Solid(testing::kBlue)});
  cache.SetDither(true);

  EXPECT_EQ(item->Frame(0)->surface.get(), surface);
  EXPECT_EQ(surface->GetPixel(0, 0), testing::Raw32(testing::kBlue));
  cache.SetDepth(16);
  cache.Reload(true);
  EXPECT_EQ(item->Frame(0)->surface.get(), surface);
  EXPECT_EQ(surface->BitCount(), 16);
}

TEST(FipoCollection, DitherFlagIsReadFromVersion101On) {
  TFipoCollection cache({});
  cache.SetDither(true);
  BinaryWriter out;
  cache.SaveFlag(out);
  const std::vector<uint8_t> bytes = out.Take();
  ASSERT_EQ(bytes, std::vector<uint8_t>{1});

  TFipoCollection old({}), current({});
  BinaryReader old_in(bytes), current_in(bytes);
  old.LoadFlag(old_in, 100);
  current.LoadFlag(current_in, 101);
  EXPECT_FALSE(old.dither());
  EXPECT_EQ(old_in.remaining(), 1u);
  EXPECT_TRUE(current.dither());
}

}  // namespace
}  // namespace novu

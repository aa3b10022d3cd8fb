#include <gtest/gtest.h>

#include "controls/fipo_collection.h"
#include "controls/novu_map_image.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "image_fixtures.h"
#include "old_records.h"
#include "platform/virtual_keys.h"

namespace novu {
namespace {

using testing::ImageScene;
using testing::MakeFip;
using testing::Raw32;
using testing::Solid;
using Strings = std::vector<std::string>;

std::vector<uint8_t> MapFile(std::vector<std::pair<std::string, Rect>> rects) {
  RegionMap map;
  for (auto& [name, bounds] : rects) {
    MapRegion r;
    r.name = name;
    r.bounds = bounds;
    map.regions().push_back(r);
  }
  return map.Write();
}

// A 40 x 20 red picture with a green hover picture; the map splits it into a left and a right
// half, the right one overlapping the left by five pixels.
struct MapScene {
  MapScene() {
    s.store.files["base.fip"] = MakeFip({Solid(testing::kRed, 40, 20)});
    s.store.files["hover.fip"] = MakeFip({Solid(testing::kGreen, 40, 20)});
    const std::vector<uint8_t> halves =
        MapFile({{"left", {0, 0, 19, 19}}, {"right", {15, 0, 39, 19}}});
    s.store.files["halves.map"] = std::vector<uint8_t>(halves);
    s.list.SetProcessState(&s.state);
  }

  TNovuMapImage& Add(const std::string& name, int32_t x, const std::string& map = "halves.map") {
    auto& m = s.Add<TNovuMapImage>(LT_MAPIMG, name);
    m.SetProperty(PR_SOURCE, std::string("base.fip"));
    m.SetProperty(PR_HOVERSOURCE, std::string("hover.fip"));
    m.SetProperty(PR_MAPSOURCE, map);
    m.SetProperty(PR_ONMAPIN, std::string("in.nsb"));
    m.SetProperty(PR_ONMAPOUT, std::string("out.nsb"));
    m.SetProperty(PR_ONSELECT, std::string("sel.nsb"));
    m.SetLeft(x);
    m.SetTop(100);
    return m;
  }
  void MoveTo(int32_t x, int32_t y) {
    s.list.input().MouseMove(x, y);
    s.list.input().ProcessInput(15);
  }
  void Click(int32_t x, int32_t y, bool left = true) {
    s.list.input().MouseMove(x, y);
    s.list.input().MouseDown(left);
    s.list.input().ProcessInput(15);
    s.list.input().MouseUp();
    s.list.input().ProcessInput(15);
  }
  void Key(int key) {
    s.list.input().KeyDown(key);
    s.list.input().ProcessInput(15);
    s.list.input().KeyUp(key);
  }
  Strings TakeEvents() {
    Strings out;
    for (const auto& e : s.list.queue().entries()) {
      std::string line = std::to_string(e.event_id) + ":";
      for (const std::string& a : e.arguments) line += a + ",";
      out.push_back(line);
    }
    s.list.queue().Clear();
    return out;
  }

  ImageScene s;
};

TEST(MapImage, TheRegionUnderThePointerShowsTheHoverPictureAndPostsInAndOut) {
  MapScene scene;
  auto& map = scene.Add("map", 200);
  EXPECT_EQ(map.width(), 40);
  EXPECT_EQ(map.height(), 20);
  scene.MoveTo(205, 105);
  EXPECT_EQ(map.current_region(), 0);
  scene.MoveTo(217, 105);  // both hold it: the earlier region wins
  EXPECT_EQ(map.current_region(), 0);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"104:left,0,"}));
  scene.MoveTo(230, 105);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"105:left,0,", "104:right,1,"}));

  scene.s.Draw();
  EXPECT_EQ(scene.s.PixelAt(230, 110), Raw32(testing::kGreen));
  EXPECT_EQ(scene.s.PixelAt(216, 110), Raw32(testing::kGreen));  // overlap: shown with the region
  EXPECT_EQ(scene.s.PixelAt(214, 110), Raw32(testing::kRed));

  scene.MoveTo(500, 500);
  EXPECT_EQ(map.current_region(), -1);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"105:right,1,"}));
  scene.s.Draw();
  EXPECT_EQ(scene.s.PixelAt(230, 110), Raw32(testing::kRed));
}

TEST(MapImage, AClickSelectsTheRegionAndAutoScrapClosesTheImage) {
  MapScene scene;
  auto& map = scene.Add("map", 200);
  map.SetProperty(PR_AUTOSCRAP, true);
  scene.Click(230, 110);
  EXPECT_EQ(scene.s.vars.sel_str(), "right");
  EXPECT_EQ(scene.s.vars.sel_index(), 1);
  EXPECT_EQ(scene.TakeEvents(), (Strings{"104:right,1,", "72:right,1,"}));
  EXPECT_TRUE(map.finished());
  scene.Click(205, 110);  // finished: no more input
  EXPECT_TRUE(scene.TakeEvents().empty());
  EXPECT_EQ(scene.s.vars.sel_index(), 1);
  scene.s.Tick(15);
  EXPECT_NE(scene.s.list.FindByName("map"), nullptr);
  scene.s.Tick(15);
  EXPECT_EQ(scene.s.list.FindByName("map"), nullptr);
}

TEST(MapImage, EscapeAndARightClickCancelWhenRightClickScrapIsSet) {
  for (const bool by_key : {true, false}) {
    SCOPED_TRACE(by_key ? "escape" : "right click");
    MapScene scene;
    auto& map = scene.Add("map", 200);
    map.SetProperty(PR_RCLICKSCRAP, true);
    map.SetProperty(PR_HANDLEKEY, 1);
    map.SetProperty(PR_ONRBTNDOWN, std::string("rb.nsb"));
    scene.s.vars.SetSelIndex(4);
    scene.s.vars.SetSelStr("old");
    if (by_key) {
      scene.Key(platform::kVkEscape);
    } else {
      scene.Click(205, 110, false);
    }
    EXPECT_EQ(scene.s.vars.sel_str(), "");
    EXPECT_EQ(scene.s.vars.sel_index(), -1);
    EXPECT_EQ(scene.TakeEvents(), Strings{});  // the right click was taken: no press event
    scene.s.Tick(15);
    EXPECT_NE(scene.s.list.FindByName("map"), nullptr);
    scene.s.Tick(15);
    EXPECT_EQ(scene.s.list.FindByName("map"), nullptr);
  }
  // Without right-click-scrap Escape does nothing.
  MapScene scene;
  auto& map = scene.Add("map", 200);
  map.SetProperty(PR_HANDLEKEY, 1);
  scene.Key(platform::kVkEscape);
  scene.s.Tick(15);
  scene.s.Tick(15);
  EXPECT_FALSE(map.finished());
  EXPECT_NE(scene.s.list.FindByName("map"), nullptr);
}

TEST(MapImage, ArrowKeysMoveBetweenRegionsAndEnterSelects) {
  MapScene scene;
  const std::vector<uint8_t> three =
      MapFile({{"a", {0, 0, 9, 9}}, {"b", {10, 0, 19, 9}}, {"c", {20, 0, 29, 9}}});
  scene.s.store.files["three.map"] = three;
  auto& map = scene.Add("map", 200, "three.map");
  map.SetProperty(PR_HANDLEKEY, 1);
  const struct {
    int key;
    int32_t region;
  } steps[] = {{platform::kVkDown, 0},  {platform::kVkRight, 1}, {platform::kVkDown, 2},
               {platform::kVkRight, 0}, {platform::kVkUp, 2},    {platform::kVkLeft, 1}};
  for (const auto& step : steps) {
    scene.Key(step.key);
    EXPECT_EQ(map.current_region(), step.region) << step.key;
  }
  scene.TakeEvents();
  scene.Key(platform::kVkReturn);
  EXPECT_EQ(scene.s.vars.sel_str(), "b");
  EXPECT_EQ(scene.TakeEvents(), (Strings{"72:b,1,"}));
}

// Both images show one cached picture; each builds its region masks in surfaces of its own.
TEST(MapImage, TwoImagesOnOnePictureKeepTheirOwnRegions) {
  MapScene scene;
  scene.s.store.files["other.map"] = MapFile({{"top", {0, 0, 39, 9}}});
  auto& first = scene.Add("first", 100);
  auto& second = scene.Add("second", 300, "other.map");
  EXPECT_EQ(scene.s.cache.size(), 2u);  // base and hover, shared

  scene.MoveTo(130, 115);
  EXPECT_EQ(first.current_region(), 1);
  scene.MoveTo(330, 115);
  EXPECT_EQ(second.current_region(), -1);  // below its only region
  scene.MoveTo(330, 105);
  EXPECT_EQ(second.current_region(), 0);
  scene.s.Draw();
  EXPECT_EQ(scene.s.PixelAt(330, 105), Raw32(testing::kGreen));
  EXPECT_EQ(scene.s.PixelAt(330, 115), Raw32(testing::kRed));
  EXPECT_EQ(scene.s.PixelAt(130, 115), Raw32(testing::kRed));  // the first left its region

  // The cached picture's own mask is as it was loaded.
  TFipoItem* item = scene.s.cache.Find(TFipoCollection::KeyOf("base.fip", false, true));
  ASSERT_NE(item, nullptr);
  const render::TDIBX& cached = *item->Frame(0)->mask;
  for (const Point p : {Point{0, 0}, Point{30, 5}, Point{30, 15}}) {
    EXPECT_EQ(cached.GetPixel(p.x, p.y), 255u);
  }
  ASSERT_NE(second.BaseMask(), nullptr);
  EXPECT_EQ(second.BaseMask()->GetPixel(30, 5), 0u);
  EXPECT_EQ(second.BaseMask()->GetPixel(30, 15), 255u);
}

TEST(MapImage, AMissingOrDamagedMapLeavesNoRegions) {
  MapScene scene;
  scene.s.store.files["damaged.map"] = {0xff, 0xff, 0xff, 0x7f, 1};
  for (const std::string map_name : {"missing.map", "damaged.map"}) {
    auto& map = scene.Add(map_name, 200, map_name);
    EXPECT_EQ(map.regions().size(), 0);
    scene.s.vars.SetSelIndex(7);
    scene.Click(205, 105);
    EXPECT_EQ(scene.s.vars.sel_index(), 7);
    map.SetVisible(false);
  }
}

TEST(MapImage, ARecordReadsBackAndOlderRecordsLackTheLaterFields) {
  MapScene scene;
  auto& map = scene.Add("map", 200);
  map.SetProperty(PR_ALPHA, 128);
  map.SetProperty(PR_BRIGHTNESS, -20);
  map.SetProperty(PR_AUTOSCRAP, true);
  map.SetProperty(PR_RCLICKSCRAP, true);
  map.SetProperty(PR_ONIDLE, std::string("idle.nsb"));
  BinaryWriter out;
  map.SaveToStream(out);
  const std::string bytes = out.TakeString();

  MapScene again;
  auto& loaded = again.s.Add<TNovuMapImage>(LT_MAPIMG, "loaded");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(loaded.regions().size(), 2);
  EXPECT_EQ(loaded.width(), 40);
  BinaryWriter out_again;
  loaded.SaveToStream(out_again);
  EXPECT_EQ(out_again.TakeString(), bytes);

  // A record of version 103 ends before the idle label, the paused flag and PR_ONSELECT, one of
  // version 114 before the close state.
  for (const int32_t version : {103, 114}) {
    BinaryWriter old_out;
    testing::WriteOldControlPart(old_out, version, "older");
    for (const char* name : {"base.fip", "hover.fip", "halves.map"}) old_out.String(name);
    old_out.I32(255);  // alpha
    old_out.I32(0);    // brightness
    old_out.String("in.nsb");
    old_out.String("out.nsb");
    old_out.U8(1);  // auto-scrap
    old_out.U8(1);  // right-click-scrap
    if (version > 103) {
      old_out.String("idle.nsb");
      old_out.U8(0);
      old_out.String("sel.nsb");
    }
    const std::vector<uint8_t> record = old_out.Take();
    MapScene old;
    auto& older = old.s.Add<TNovuMapImage>(LT_MAPIMG, "x");
    BinaryReader old_in(record);
    older.LoadFromStream(old_in, ObjectLoadContext{version});
    EXPECT_TRUE(old_in.AtEnd()) << version;
    EXPECT_EQ(older.name(), "older");
    EXPECT_EQ(older.regions().size(), 2);
    EXPECT_EQ(PropAsStr(older.GetProperty(PR_ONSELECT)), version > 103 ? "sel.nsb" : "");
    EXPECT_FALSE(older.finished());
  }
}

}  // namespace
}  // namespace novu

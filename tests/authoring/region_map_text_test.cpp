#include <gtest/gtest.h>

#include "authoring/region_map_text.h"
#include "platform/error.h"

namespace novu {
namespace {

TEST(RegionMapText, ATextReadsIntoRegionsAndIsWrittenBackTheSame) {
  const std::string text =
      "rect \"扉\" 10 20 49 79\n"
      "ellipse \"a # b\" 0 0 9 9\n"
      "polygon \"roof\" 0,0 100,0 50,30\n"
      "polygon/7 \"q\\\"\" 1,1 5,1 3,4\n";
  const RegionMap map = authoring::ParseRegionMapText("# the map\n\n" + text + "  # end\n");
  ASSERT_EQ(map.size(), 4);
  EXPECT_EQ(map.regions()[0].name, "\x94\xe0");  // stored as CP932
  EXPECT_EQ(map.regions()[0].bounds, (Rect{10, 20, 49, 79}));
  EXPECT_EQ(map.regions()[1].kind, MapRegion::kEllipse);
  EXPECT_EQ(map.regions()[1].name, "a # b");
  EXPECT_EQ(map.regions()[2].points.size(), 3u);
  EXPECT_EQ(map.regions()[3].kind, 7);
  EXPECT_EQ(map.regions()[3].name, "q\"");
  EXPECT_EQ(authoring::RegionMapToText(map), text);
}

TEST(RegionMapText, ALineThatCannotBeReadIsNamed) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"rect \"a\" 1 2 3\n", "line 1: four bounds expected"},
      {"\nbox \"a\" 1 2 3 4\n", "line 2: \"box\""},
      {"rect a 1 2 3 4\n", "line 1: a region name in double quotes expected"},
      {"polygon \"a\" 1;2\n", "line 1: a point is written X,Y"},
      {"rect \"a\" 1 2 3 99999999999\n", "is not a 32-bit integer"},
      {"ellipse \"a\" 1 2 3 4 5\n", "more than the region holds"},
      {"polygon/1 \"a\" 1,2\n", "a polygon's kind is 2 .. 255"},
  };
  for (const auto& c : cases) {
    try {
      authoring::ParseRegionMapText(c.text);
      ADD_FAILURE() << c.text;
    } catch (const NovuError& e) {
      EXPECT_NE(e.Utf8Message().find(c.message), std::string::npos) << e.Utf8Message();
    }
  }
}

}  // namespace
}  // namespace novu

#include "objects/property_access.h"

#include <gtest/gtest.h>

#include <limits>

#include "expr/param_values.h"
#include "object_fixtures.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"

namespace novu {
namespace {

using testing::Scene;
using testing::TestPicture;

// Reads a property the way the evaluator does: into a temporary of the property's type.
std::unique_ptr<TCustomParam> Read(const TNovuObject& object, int32_t id) {
  auto variable = MakeParam(FindPropertyById(id)->type);
  GetProp(*variable, object, id);
  return variable;
}

TEST(PropertyAccess, ObjectsThatDoNotImplementAPropertyAnswerItsDefault) {
  Scene scene;
  auto& sound = scene.list.Add<TPlainComponent>(LT_SOUND);
  sound.SetName("bgm");
  sound.SetPriority(7);
  sound.SetTag("loud");

  struct Case {
    PropId id;
    ParamType type;
    std::string text;  // the value read back as text
  };
  const Case cases[] = {
      {PR_COLOR, PT_INT, "16777215"},
      {PR_ALPHA, PT_INT, "255"},
      {PR_TEXTDELAY, PT_INT, "256"},
      {PR_INDEX, PT_INT, "-1"},
      {PR_SMALLCHANGE, PT_INT, "1"},
      {PR_LARGECHANGE, PT_INT, "1"},
      {PR_ZOOMX, PT_INT, "256"},
      {PR_ZOOMY, PT_INT, "256"},
      {PR_BORDERCOLOR, PT_INT, "-1"},
      {PR_HOVERCOLOR, PT_INT, "-1"},
      {PR_BRIGHTNESS, PT_INT, "255"},
      {PR_PARTMOTION, PT_INT, "1"},
      {PR_LEFT, PT_INT, "0"},
      {PR_VISIBLE, PT_BOOL, "FALSE"},
      {PR_REWINDONLOAD, PT_BOOL, "TRUE"},
      {PR_OVERLAY, PT_BOOL, "TRUE"},
      {PR_PARAM1, PT_FLOAT, "0"},
      {PR_SOURCE, PT_STR, ""},
      {PR_ONPLAYING, PT_STR, ""},
      {PR_PARENT, PT_STR, ""},
      {PR_NAME, PT_STR, "bgm"},
      {PR_PRIORITY, PT_INT, "7"},
      {PR_TAG, PT_STR, "loud"},
      {PR_COMPOTYPE, PT_INT, "17"},
      {PR_ORIGWIDTH, PT_INT, "0"},
      {PR_ORIGHEIGHT, PT_INT, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FindPropertyById(c.id)->name);
    const auto value = Read(sound, c.id);
    EXPECT_EQ(value->GetParamType(), c.type);
    EXPECT_EQ(value->GetAsStr(), c.text);
  }
}

TEST(PropertyAccess, EveryCatalogueDefaultReadsBackThroughGetProp) {
  Scene scene;
  auto& timer = scene.list.Add<TPlainComponent>(LT_TIMER);
  for (const PropertyInfo& row : PropertyCatalogue()) {
    if (!row.fallback.IsConstant() || row.id == PR_COMPOTYPE) continue;
    SCOPED_TRACE(row.name);
    const auto value = Read(timer, row.id);
    ASSERT_EQ(value->GetParamType(), row.type);
    switch (row.type) {
      case PT_INT:
        EXPECT_EQ(value->GetAsInt(), row.fallback.AsInt());
        break;
      case PT_BOOL:
        EXPECT_EQ(value->GetAsBool(), row.fallback.AsBool());
        break;
      case PT_FLOAT:
        EXPECT_EQ(value->GetAsFloat(), row.fallback.AsFloat());
        break;
      default:
        EXPECT_EQ(value->GetAsStr(), "");
        break;
    }
  }
}

TEST(PropertyAccess, WritesToUnimplementedPropertiesAreIgnored) {
  Scene scene;
  auto& sound = scene.list.Add<TPlainComponent>(LT_SOUND);
  SetProp(sound, PR_ZOOMX, TParamInt(512));
  SetProp(sound, PR_LEFT, TParamInt(40));
  EXPECT_EQ(Read(sound, PR_ZOOMX)->GetAsInt(), 256);
  EXPECT_EQ(Read(sound, PR_LEFT)->GetAsInt(), 0);
}

TEST(PropertyAccess, IdsOutsideTheCatalogueFailBeforeAnyTable) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  const int32_t ids[] = {-1,
                         163,
                         255,
                         256,
                         259,
                         std::numeric_limits<int32_t>::min(),
                         std::numeric_limits<int32_t>::max()};
  for (int32_t id : ids) {
    SCOPED_TRACE(id);
    TParamInt variable(5);
    try {
      GetProp(variable, picture, id);
      ADD_FAILURE() << "GetProp accepted the id";
    } catch (const NovuError& e) {
      EXPECT_EQ(e.Utf8Message(), "GetPropエラー");
    }
    EXPECT_EQ(variable.GetAsInt(), 5);
    try {
      SetProp(picture, id, TParamInt(77));
      ADD_FAILURE() << "SetProp accepted the id";
    } catch (const NovuError& e) {
      EXPECT_EQ(e.Utf8Message(), "SetPropエラー");
    }
  }
  // 259 would be PR_LEFT and 256 PR_NAME if the id were cut to a byte.
  EXPECT_EQ(picture.left(), 0);
  EXPECT_NE(picture.name(), "77");
}

TEST(PropertyAccess, AppearPositionsCannotBeWrittenAndReadOnlyPropertiesIgnoreWrites) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  for (PropId id : {PR_APPEARX, PR_APPEARY}) {
    EXPECT_THROW(SetProp(picture, id, TParamInt(1)), NovuError);
    EXPECT_EQ(Read(picture, id)->GetAsInt(), 0);
  }
  SetProp(picture, PR_COMPOTYPE, TParamInt(LT_MES));
  SetProp(picture, PR_PLAYING, TParamFlag(convert::Flag::kTrue));
  EXPECT_EQ(Read(picture, PR_COMPOTYPE)->GetAsInt(), LT_BOX);
  EXPECT_FALSE(Read(picture, PR_PLAYING)->GetAsBool());
}

TEST(PropertyAccess, ValuesAreConvertedByThePropertyType) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  SetProp(picture, PR_LEFT, TParamStr("42"));
  SetProp(picture, PR_TOP, TParamFloat(3.9L));
  SetProp(picture, PR_VISIBLE, TParamInt(0));
  SetProp(picture, PR_TAG, TParamInt(-12));
  EXPECT_EQ(picture.left(), 42);
  EXPECT_EQ(picture.top(), 3);
  EXPECT_FALSE(picture.IsVisible());
  EXPECT_EQ(picture.tag(), "-12");

  // A text variable receives an integer property as its decimal text.
  TParamStr text;
  GetProp(text, picture, PR_LEFT);
  EXPECT_EQ(text.GetAsStr(), "42");
}

TEST(PropertyAccess, PlayingLabelIsTextBothWays) {
  // The message window's playing label: no class here implements it, so the write is dropped,
  // but it is read and written as text, never through a flag.
  Scene scene;
  auto& sound = scene.list.Add<TPlainComponent>(LT_SOUND);
  TParamStr label("page.nsb:playing");
  SetProp(sound, PR_ONPLAYING, label);
  TParamStr read_back("unchanged");
  GetProp(read_back, sound, PR_ONPLAYING);
  EXPECT_EQ(read_back.GetAsStr(), "");
  EXPECT_EQ(Read(sound, PR_ONPLAYING)->GetParamType(), PT_STR);
}

TEST(PropertyAccess, ControlPropertiesRoundTrip) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  struct Case {
    PropId id;
    int32_t value;
  };
  const Case cases[] = {
      {PR_LEFT, -5},        {PR_TOP, 9},     {PR_WIDTH, 300},   {PR_HEIGHT, 200},
      {PR_COLOR, 0x123456}, {PR_OFFSETX, 4}, {PR_OFFSETY, -4},  {PR_IGNOREMOUSE, IM_CLICK},
      {PR_CLIPLEFT, 1},     {PR_CLIPTOP, 2}, {PR_CLIPWIDTH, 3}, {PR_CLIPHEIGHT, 4},
      {PR_HANDLEKEY, 1},    {PR_PLUSX, 11},  {PR_PLUSY, -11},   {PR_PRIORITY, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FindPropertyById(c.id)->name);
    SetProp(picture, c.id, TParamInt(c.value));
    EXPECT_EQ(Read(picture, c.id)->GetAsInt(), c.value);
  }
  for (PropId id : {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONLBTNDOWN, PR_ONWHEELUP, PR_ONKEYREPEAT,
                    PR_ONFOCUSOUT, PR_CURSOR, PR_NAME, PR_TAG}) {
    SCOPED_TRACE(FindPropertyById(id)->name);
    const std::string text = std::string(FindPropertyById(id)->name) + "_value";
    SetProp(picture, id, TParamStr(text));
    EXPECT_EQ(Read(picture, id)->GetAsStr(), text);
  }
}

TEST(PropertyAccess, MouseModeKeepsTheByteItIsSavedAs) {
  Scene scene;
  TestPicture& picture = scene.Picture(scene.base(), 0, 0, 10, 10);
  SetProp(picture, PR_IGNOREMOUSE, TParamInt(256 + IM_LCLICK));
  EXPECT_EQ(Read(picture, PR_IGNOREMOUSE)->GetAsInt(), IM_LCLICK);
}

TEST(PropertyAccess, AnimationPausedOfInternalHelpersFollowsTheirParent) {
  Scene scene;
  TestPicture& owner = scene.Picture(scene.base(), 0, 0, 10, 10);
  TestPicture& helper = scene.Picture(owner, 0, 0, 10, 10);
  helper.AssignName("\x01helper");
  SetProp(owner, PR_ANIPAUSED, TParamFlag(convert::Flag::kTrue));
  EXPECT_TRUE(Read(helper, PR_ANIPAUSED)->GetAsBool());
  helper.AssignName("helper");
  EXPECT_FALSE(Read(helper, PR_ANIPAUSED)->GetAsBool());
}

TEST(PropertyAccess, OriginalSizeDefaultsToTheControlsOwnSize) {
  Scene scene;
  auto& label = scene.list.AddTo<TPlainControl>(scene.base(), LT_LABEL);
  label.SetBounds(0, 0, 120, 45);
  EXPECT_EQ(Read(label, PR_ORIGWIDTH)->GetAsInt(), 120);
  EXPECT_EQ(Read(label, PR_ORIGHEIGHT)->GetAsInt(), 45);
}

}  // namespace
}  // namespace novu

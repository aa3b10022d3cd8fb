#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>

#include "objects/component_type.h"
#include "objects/property_catalogue.h"

namespace novu {
namespace {

using I = Implementer;

// What an object whose class does not implement a property answers, for a selection of rows.
struct DefaultCase {
  int32_t id;
  std::string_view name;
  ParamType type;
  DefaultSource source;
  int32_t number;  // ignored unless source is kConstant
  std::string_view printed;
};

const DefaultCase kDefaultCases[] = {
    {8, "PR_COLOR", PT_INT, DefaultSource::kConstant, 0xffffff, "16777215"},
    {11, "PR_ALPHA", PT_INT, DefaultSource::kConstant, 255, "255"},
    {82, "PR_TEXTDELAY", PT_INT, DefaultSource::kConstant, 256, "256"},
    {44, "PR_INDEX", PT_INT, DefaultSource::kConstant, -1, "-1"},
    {127, "PR_SMALLCHANGE", PT_INT, DefaultSource::kConstant, 1, "1"},
    {128, "PR_LARGECHANGE", PT_INT, DefaultSource::kConstant, 1, "1"},
    {7, "PR_ZOOMX", PT_INT, DefaultSource::kConstant, 256, "256"},
    {132, "PR_ZOOMY", PT_INT, DefaultSource::kConstant, 256, "256"},
    {10, "PR_BORDERCOLOR", PT_INT, DefaultSource::kConstant, -1, "-1"},
    {24, "PR_HOVERCOLOR", PT_INT, DefaultSource::kConstant, -1, "-1"},
    {42, "PR_BRIGHTNESS", PT_INT, DefaultSource::kConstant, 255, "255"},
    {94, "PR_PARTMOTION", PT_INT, DefaultSource::kConstant, 1, "1"},
    {139, "PR_REWINDONLOAD", PT_BOOL, DefaultSource::kConstant, 1, "true"},
    {150, "PR_OVERLAY", PT_BOOL, DefaultSource::kConstant, 1, "true"},
    {47, "PR_VISIBLE", PT_BOOL, DefaultSource::kConstant, 0, "false"},
    {102, "PR_PARAM3", PT_FLOAT, DefaultSource::kConstant, 0, "0.0"},
    {2, "PR_SOURCE", PT_STR, DefaultSource::kConstant, 0, "\"\""},
    {162, "PR_REPEATPOS", PT_INT, DefaultSource::kConstant, 0, "0"},
    {0, "PR_NAME", PT_STR, DefaultSource::kName, 0, "(name)"},
    {12, "PR_PRIORITY", PT_INT, DefaultSource::kPriority, 0, "(priority)"},
    {151, "PR_TAG", PT_STR, DefaultSource::kTag, 0, "(tag)"},
    {90, "PR_ORIGWIDTH", PT_INT, DefaultSource::kWidth, 0, "(width)"},
    {91, "PR_ORIGHEIGHT", PT_INT, DefaultSource::kHeight, 0, "(height)"},
};

TEST(PropertyCatalogue, DefaultsOfClassesThatDoNotImplementAProperty) {
  for (const DefaultCase& c : kDefaultCases) {
    SCOPED_TRACE(c.name);
    const PropertyInfo* info = FindPropertyById(c.id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->name, c.name);
    EXPECT_EQ(info->type, c.type);
    EXPECT_EQ(info->fallback.source, c.source);
    if (c.source == DefaultSource::kConstant) {
      EXPECT_EQ(info->fallback.AsInt(), c.number);
      EXPECT_EQ(info->fallback.AsBool(), c.number != 0);
      EXPECT_EQ(info->fallback.AsFloat(), static_cast<double>(c.number));
    }
    EXPECT_EQ(FormatPropertyDefault(*info), c.printed);
  }
}

TEST(PropertyCatalogue, IdsAreDenseAndEveryNameFindsItsOwnRow) {
  const auto catalogue = PropertyCatalogue();
  ASSERT_EQ(catalogue.size(), 163u);
  std::set<std::string_view> names;
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const PropertyInfo& row = catalogue[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.id, static_cast<int32_t>(i));
    EXPECT_EQ(row.name.substr(0, 3), "PR_");
    EXPECT_TRUE(names.insert(row.name).second) << "duplicate name";
    EXPECT_EQ(FindPropertyByName(row.name), &row);
    EXPECT_EQ(FindPropertyById(row.id), &row);
  }
  EXPECT_EQ(catalogue.front().name, "PR_NAME");
  EXPECT_EQ(catalogue.back().name, "PR_REPEATPOS");
}

TEST(PropertyCatalogue, IdsOutsideTheCatalogueAreRefused) {
  // 259 and 256 would land on PR_LEFT and PR_NAME if the id were cut to a byte.
  const int32_t refused[] = {-1,  -256, std::numeric_limits<int32_t>::min(), 163, 255, 256,
                             259, 511,  std::numeric_limits<int32_t>::max()};
  for (int32_t id : refused) {
    EXPECT_FALSE(IsValidPropId(id)) << id;
    EXPECT_EQ(FindPropertyById(id), nullptr) << id;
  }
  ASSERT_NE(FindPropertyById(0), nullptr);
  ASSERT_NE(FindPropertyById(162), nullptr);
  EXPECT_EQ(FindPropertyById(162)->id, PR_REPEATPOS);
}

TEST(PropertyCatalogue, NameLookupIsExactWithACaseInsensitiveVariant) {
  EXPECT_EQ(FindPropertyByName("pr_color"), nullptr);
  EXPECT_EQ(FindPropertyByName("PR_COLOR "), nullptr);
  EXPECT_EQ(FindPropertyByName(""), nullptr);
  EXPECT_EQ(FindPropertyByName("PR_NOSUCH"), nullptr);

  const PropertyInfo* color = FindPropertyByNameNoCase("pr_Color");
  ASSERT_NE(color, nullptr);
  EXPECT_EQ(color->id, PR_COLOR);
  EXPECT_EQ(FindPropertyByNameNoCase("pr_colour"), nullptr);
  EXPECT_EQ(FindPropertyByNameNoCase(""), nullptr);
}

TEST(PropertyCatalogue, EventLabelsAreTextInBothDirections) {
  const PropertyInfo* playing = FindPropertyById(PR_ONPLAYING);
  ASSERT_NE(playing, nullptr);
  EXPECT_EQ(playing->type, PT_STR);
  EXPECT_TRUE(playing->IsEventLabel());
  EXPECT_EQ(FormatPropertyDefault(*playing), "\"\"");

  // Every event property, and only those, is a text label that reads empty by default.
  int labels = 0;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    SCOPED_TRACE(row.name);
    const bool named_as_event = row.name.starts_with("PR_ON");
    EXPECT_EQ(row.IsEventLabel(), named_as_event);
    if (row.IsEventLabel()) {
      ++labels;
      EXPECT_EQ(row.type, PT_STR);
      EXPECT_TRUE(row.fallback.IsConstant());
    }
  }
  EXPECT_EQ(labels, 29);
}

TEST(PropertyCatalogue, ReadOnlyAndWriteRefusedRows) {
  std::set<int32_t> read_only;
  std::set<int32_t> write_refused;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    if (row.IsReadOnly()) read_only.insert(row.id);
    if (row.IsWriteRefused()) write_refused.insert(row.id);
  }
  EXPECT_EQ(read_only,
            (std::set<int32_t>{PR_CARETX, PR_CARETY, PR_PLAYING, PR_COMPOTYPE, PR_CARETHEIGHT}));
  EXPECT_EQ(write_refused, (std::set<int32_t>{PR_APPEARX, PR_APPEARY}));
}

TEST(PropertyCatalogue, RowsThatReferToAnotherRowShareItsImplementers) {
  auto implementers = [](PropId id) { return FindPropertyById(id)->implementers; };
  EXPECT_EQ(implementers(PR_FONTHEIGHT), implementers(PR_FONTNAME));
  EXPECT_EQ(implementers(PR_FONTCOLOR), implementers(PR_FONTNAME));
  EXPECT_EQ(implementers(PR_ZOOMY), implementers(PR_ZOOMX));
  EXPECT_EQ(implementers(PR_FLIPV), implementers(PR_FLIPH));
  EXPECT_EQ(implementers(PR_COUNT), implementers(PR_INDEX) | ImplementerSet{I::kPrevMenu});
  EXPECT_EQ(implementers(PR_ORIGHEIGHT), implementers(PR_ORIGWIDTH) | ImplementerSet{I::kMenu});
  EXPECT_FALSE(implementers(PR_INDEX).Contains(I::kPrevMenu));

  EXPECT_EQ(FormatImplementers(implementers(PR_FONTHEIGHT)),
            "Button, CustomListBox, Edit, Label, Memo, Menu, Mes");
  EXPECT_EQ(FormatImplementers(implementers(PR_COLOR)), "controls, BaseList");
  // The animated-picture family pauses; the still-picture family above it does not.
  EXPECT_TRUE(implementers(PR_PAUSED).Contains(I::kCustomImagesFamily));
  EXPECT_FALSE(implementers(PR_PAUSED).Contains(I::kCustomImageFamily));
  EXPECT_EQ(FormatImplementers(implementers(PR_COLCOUNT)), "(none)");
  EXPECT_EQ(FormatImplementers(implementers(PR_APPEARX)), "(none)");
  EXPECT_EQ(FormatImplementers(implementers(PR_NAME)), "all");
  EXPECT_EQ(FormatImplementers(implementers(PR_COMPOTYPE)), "every concrete class");
}

TEST(PropertyCatalogue, ImplementerClassesMatchTheirComponentTypes) {
  // A class named in the catalogue that has a type code must be the class registered for it.
  std::set<Implementer> used;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    for (const ImplementerInfo& who : Implementers()) {
      if (row.implementers.Contains(who.who)) used.insert(who.who);
    }
  }
  for (const ImplementerInfo& who : Implementers()) {
    SCOPED_TRACE(who.name);
    EXPECT_EQ(&ImplementerOf(who.who), &who);
    EXPECT_TRUE(used.contains(who.who)) << "never named by a row";
    if (who.type == LT_NONE) continue;
    const ComponentTypeInfo* type = FindComponentType(who.type);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->class_name, "TNovu" + std::string(who.name));
  }
}

TEST(ComponentType, CodesAndClasses) {
  struct Case {
    int32_t code;
    std::string_view name;
    std::string_view class_name;
    bool creatable;
  };
  const Case cases[] = {
      {0, "LT_NONE", "", false},
      {1, "LT_AUDIO", "", false},
      {10, "LT_MAP", "", false},
      {2, "LT_BOX", "TNovuBox", true},
      {13, "LT_MES", "TNovuMes", true},
      {18, "LT_MAPIMG", "TNovuMapImage", true},
      {26, "LT_PROPMOTION", "TNovuPropMotion", true},
      {27, "LT_CABINET", "TNovuCabinet", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ComponentTypeInfo* info = FindComponentType(c.code);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->type, c.code);
    EXPECT_EQ(info->name, c.name);
    EXPECT_EQ(info->class_name, c.class_name);
    EXPECT_EQ(IsCreatableComponentType(info->type), c.creatable);
    EXPECT_EQ(ComponentTypeFromCode(c.code), info->type);
  }
  EXPECT_EQ(ComponentTypes().size(), 28u);
}

TEST(ComponentType, CodesOutsideTheTableAreRefused) {
  for (int32_t code : {-1, 28, 255, 256, std::numeric_limits<int32_t>::min()}) {
    EXPECT_EQ(FindComponentType(code), nullptr) << code;
    EXPECT_EQ(ComponentTypeFromCode(code), std::nullopt) << code;
  }
  EXPECT_FALSE(IsCreatableComponentType(static_cast<ComponentType>(200)));
}

}  // namespace
}  // namespace novu

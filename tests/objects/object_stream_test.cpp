#include <gtest/gtest.h>

#include "object_fixtures.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"

namespace novu {
namespace {

using testing::Scene;
using testing::TestPicture;

std::string Save(const TNovuObject& object) {
  BinaryWriter out;
  object.SaveToStream(out);
  return out.TakeString();
}

void Load(TNovuObject& object, std::string_view bytes, int32_t version = kObjectLayoutVersion) {
  BinaryReader in(bytes);
  object.LoadFromStream(in, {version});
  EXPECT_TRUE(in.AtEnd()) << in.remaining() << " bytes left";
}

// A picture with every saved field away from its initial value, holding two children.
void BuildTree(Scene& scene) {
  TestPicture& picture = scene.Picture(scene.base(), 12, 34, 56, 78);
  picture.SetName("picture");
  picture.SetTag("tagged");
  picture.SetPriority(9);
  picture.set_order(3);
  picture.SetOffsetX(5);
  picture.SetOffsetY(6);
  picture.SetPosZoomed(true);
  picture.SetMotionDisplacement(7, 8);
  picture.SetPlusX(-9);
  picture.SetPlusY(-10);
  picture.SetClip(1, 2, 3, 4);
  picture.SetProperty(PR_ANIPAUSED, true);
  picture.SetColor(0x00abcdef);
  picture.set_picture_rect({2, 3, 40, 50});
  picture.SetMouseMode(IM_RCLICK);
  picture.SetProperty(PR_CURSOR, std::string("hand.cur"));
  picture.SetHandleKey(true);
  int n = 0;
  for (PropId id : {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONLBTNDOWN, PR_ONLBTNUP,
                    PR_ONRBTNDOWN, PR_ONRBTNUP, PR_ONWHEELDOWN, PR_ONWHEELUP, PR_ONKEYDOWN,
                    PR_ONKEYUP, PR_ONKEYREPEAT, PR_ONFOCUSIN, PR_ONFOCUSOUT}) {
    picture.SetEventLabel(id, "page.nsb:label" + std::to_string(n++));
  }
  picture.alpha = 128;

  TestPicture& inner = scene.Picture(picture, 1, 2, 3, 4);
  inner.SetName("inner");
  inner.SetVisible(false);
  auto& label = scene.list.AddTo<TPlainControl>(picture, LT_LABEL);
  label.SetName("caption");
  label.SetPriority(-1);
}

void ExpectSameProperties(const TNovuObject& expected, const TNovuObject& actual) {
  SCOPED_TRACE(expected.name());
  for (const PropertyInfo& row : PropertyCatalogue()) {
    EXPECT_EQ(PropAsStr(actual.GetProperty(row.id)), PropAsStr(expected.GetProperty(row.id)))
        << row.name;
  }
  const TNovuControl* a = actual.AsControl();
  const TNovuControl* e = expected.AsControl();
  ASSERT_EQ(a != nullptr, e != nullptr);
  if (e == nullptr) return;
  EXPECT_EQ(a->picture_rect(), e->picture_rect());
  EXPECT_EQ(a->order(), e->order());
  ASSERT_EQ(a->ChildCount(), e->ChildCount());
  for (int32_t i = 0; i < e->ChildCount(); ++i) {
    EXPECT_EQ(a->Child(i)->GetType(), e->Child(i)->GetType());
    ExpectSameProperties(*e->Child(i), *a->Child(i));
  }
}

TEST(ObjectStream, ATreeRoundTripsWithEveryProperty) {
  Scene original;
  BuildTree(original);
  const std::string bytes = Save(original.base());

  Scene restored;
  Load(restored.base(), bytes);
  ExpectSameProperties(original.base(), restored.base());
  auto* picture = dynamic_cast<TestPicture*>(restored.list.FindControl("picture"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->alpha, 128);  // the class's own field after the children
  EXPECT_EQ(picture->GetParent(), &restored.base());
  EXPECT_EQ(restored.list.FindControl("caption")->GetParent(), picture);
  EXPECT_EQ(Save(restored.base()), bytes);
}

TEST(ObjectStream, DeletedInternalAndTypelessChildrenAreNotSaved) {
  Scene scene;
  TestPicture& kept = scene.Picture(scene.base(), 0, 0, 1, 1);
  kept.SetName("kept");
  scene.Picture(scene.base(), 0, 0, 1, 1)
      .AssignName(
          "\x01"
          "helper");
  scene.list.ScheduleDeletion(scene.Picture(scene.base(), 0, 0, 1, 1));
  scene.list.AddTo<TPlainControl>(scene.base(), LT_NONE);

  Scene restored;
  Load(restored.base(), Save(scene.base()));
  ASSERT_EQ(restored.base().ChildCount(), 1);
  EXPECT_EQ(restored.base().Child(0)->name(), "kept");
}

// A control record as a save of `version` lays it out, with recognisable values.
std::string OldRecord(int32_t version) {
  BinaryWriter out;
  out.String("old");
  out.I32(4);                           // priority
  if (version > 103) out.I32(2);        // order
  if (version >= 120) out.String("t");  // tag
  for (int32_t v : {10, 20, 30, 40, 1, 2}) out.I32(v);
  out.Bool(false);  // position zoomed
  if (version >= 130) {
    for (int32_t v : {0, 0, 5, 6}) out.I32(v);  // motion displacement, plus
  }
  if (version > 103) {
    for (int32_t v : {1, 1, 8, 8}) out.I32(v);
    out.Bool(true);  // animation paused
  }
  out.Bool(true);
  out.I32(0x112233);
  for (int32_t v : {0, 0, 1, 1}) out.I32(v);
  out.U8(IM_CLICK);
  out.String("arrow.cur");
  out.String("move");
  if (version > 101) out.String("in");
  for (int i = 0; i < 7; ++i) out.String("mouse" + std::to_string(i));
  if (version > 117) {
    out.Bool(true);
    for (int i = 0; i < 5; ++i) out.String("key" + std::to_string(i));
  }
  out.I32(0);  // children
  return out.TakeString();
}

TEST(ObjectStream, OlderSavesAreReadFieldByField) {
  struct Case {
    int32_t version;
    bool order_clip, mouse_in, keys, tag, plus;
  };
  const Case cases[] = {
      {100, false, false, false, false, false}, {102, false, true, false, false, false},
      {104, true, true, false, false, false},   {118, true, true, true, false, false},
      {120, true, true, true, true, false},     {129, true, true, true, true, false},
      {130, true, true, true, true, true},      {140, true, true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    Scene scene;
    TPlainControl& control = scene.list.AddTo<TPlainControl>(scene.base(), LT_LABEL);
    Load(control, OldRecord(c.version), c.version);
    EXPECT_EQ(control.name(), "old");
    EXPECT_EQ(control.priority(), 4);
    EXPECT_EQ(control.order(), c.order_clip ? 2 : 0);
    EXPECT_EQ(control.tag(), c.tag ? "t" : "");
    EXPECT_EQ(control.left(), 10);
    EXPECT_EQ(control.offset_y(), 2);
    EXPECT_EQ(control.plus_x(), c.plus ? 5 : 0);
    EXPECT_EQ(control.HasClip(), c.order_clip);
    EXPECT_EQ(PropAsBool(control.GetProperty(PR_ANIPAUSED)), c.order_clip);
    EXPECT_EQ(control.color(), 0x112233);
    EXPECT_EQ(control.mouse_mode(), IM_CLICK);
    EXPECT_EQ(control.cursor(), "arrow.cur");
    EXPECT_EQ(control.EventLabel(PR_ONMOUSEMOVE), "move");
    EXPECT_EQ(control.EventLabel(PR_ONMOUSEIN), c.mouse_in ? "in" : "");
    EXPECT_EQ(control.EventLabel(PR_ONMOUSEOUT), "mouse0");
    EXPECT_EQ(control.EventLabel(PR_ONWHEELUP), "mouse6");
    EXPECT_EQ(control.handles_keys(), c.keys);
    EXPECT_EQ(control.EventLabel(PR_ONFOCUSOUT), c.keys ? "key4" : "");
  }
}

// A record of `levels` labels, each holding the next as its only child.
std::string NestedLabels(int levels) {
  Scene scene;
  const std::string empty_label = Save(scene.list.AddTo<TPlainControl>(scene.base(), LT_LABEL));
  const std::string_view fields(empty_label.data(), empty_label.size() - 4);  // no child count
  BinaryWriter out;
  for (int i = 0; i < levels; ++i) {
    if (i > 0) out.U8(LT_LABEL);
    out.Bytes(fields);
    out.I32(i + 1 < levels ? 1 : 0);
  }
  return out.TakeString();
}

TEST(ObjectStream, NestingIsBoundedByTheTreeTheRecordLandsIn) {
  // The base is level 0, so a base record may hold kMaxNesting levels below it.
  {
    Scene scene;
    Load(scene.base(), NestedLabels(kMaxNesting + 1));
    EXPECT_EQ(scene.list.registry().size(), static_cast<size_t>(2 + kMaxNesting));
  }
  for (int levels : {kMaxNesting + 2, 20000}) {
    SCOPED_TRACE(levels);
    Scene scene;
    const std::string bytes = NestedLabels(levels);
    BinaryReader in(bytes);
    EXPECT_THROW(scene.base().LoadFromStream(in, {kObjectLayoutVersion}), NovuError);
  }
  // The same record loaded one level further down no longer fits.
  Scene scene;
  TestPicture& holder = scene.Picture(scene.base(), 0, 0, 1, 1);
  const std::string bytes = NestedLabels(kMaxNesting + 1);
  BinaryReader in(bytes);
  EXPECT_THROW(holder.LoadFromStream(in, {kObjectLayoutVersion}), NovuError);
}

TEST(ObjectStream, MalformedRecordsFailCleanly) {
  Scene original;
  BuildTree(original);
  const std::string bytes = Save(original.base());
  // Every truncation of a valid record.
  for (size_t size = 0; size < bytes.size(); ++size) {
    Scene scene;
    BinaryReader in(std::string_view(bytes).substr(0, size));
    EXPECT_THROW(scene.base().LoadFromStream(in, {kObjectLayoutVersion}), NovuError) << size;
  }

  // The child count sits in the last four bytes of a record without children.
  Scene scene;
  const std::string leaf = Save(scene.list.AddTo<TPlainControl>(scene.base(), LT_LABEL));
  const std::string fields = leaf.substr(0, leaf.size() - 4);
  auto with_children = [&](int32_t count, std::string_view after) {
    BinaryWriter out;
    out.Bytes(fields);
    out.I32(count);
    out.Bytes(after);
    return out.TakeString();
  };
  struct Case {
    const char* what;
    std::string record;
  };
  const Case cases[] = {
      {"negative count", with_children(-1, "")},
      {"count beyond the data", with_children(0x7fffffff, leaf)},
      {"count the data cannot hold", with_children(3, "\x09" + leaf)},
      {"type without a class", with_children(1, "\x01" + leaf)},
      {"type of the bases", with_children(1, std::string(1, '\0') + leaf)},
      {"type beyond the table", with_children(1, "\x7f" + leaf)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene target;
    BinaryReader in(c.record);
    EXPECT_THROW(target.base().LoadFromStream(in, {kObjectLayoutVersion}), NovuError);
  }

  // The top bit of a saved type code is ignored.
  Scene target;
  Load(target.base(), with_children(1, "\x89" + leaf));
  ASSERT_EQ(target.base().ChildCount(), 1);
  EXPECT_EQ(target.base().Child(0)->GetType(), LT_LABEL);
}

}  // namespace
}  // namespace novu

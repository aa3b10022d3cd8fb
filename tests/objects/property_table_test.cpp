// The property tables: rows answer and take properties, a derived table overrides or extends
// its parent's, and the saved record follows the rows, the parent's first, with version gates.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "objects/novu_object.h"

namespace novu {
namespace {

// A parent class with a plain field, a field with a setter, a computed answer and a field that
// came in with version 120; a child that overrides one setter, hides one property and saves one
// field of its own and one part with a form of its own.
class Parent : public TNovuComponent {
 public:
  using TNovuComponent::TNovuComponent;
  ComponentType GetType() const override { return LT_TIMER; }
  static const PropertyTable& Table() {
    using R = PropertyRows<Parent>;
    static const PropertyTable table(
        &TNovuComponent::Table(),
        {
            R::Field(PR_DELAY, &Parent::delay),
            R::Field(PR_VOLUME, &Parent::volume).Set(&Parent::SetVolume),
            R::Answer(PR_COUNT, [](const Parent& p) { return p.delay * 2; }),
            R::Field(PR_ONNOTIFY, &Parent::handler).Since(120),
            R::Field(PR_REPEAT, &Parent::repeat),
        });
    return table;
  }
  const PropertyTable& Properties() const override { return Table(); }
  void SetVolume(int32_t value) { volume = std::clamp(value, 0, 100); }

  int32_t delay = 0;
  int32_t volume = 50;
  std::string handler;
  bool repeat = false;
};

class Child final : public Parent {
 public:
  using Parent::Parent;
  static const PropertyTable& Table() {
    using R = PropertyRows<Child>;
    static const PropertyTable table(
        &Parent::Table(), {
                              R::Override(PR_DELAY).Set([](Child& c, const PropValue& v) {
                                c.delay = PropAsInt(v) + 1000;
                              }),
                              R::Answer(PR_REPEAT, [](const Child&) { return true; }),
                              R::SavedField(&Child::hidden),
                              R::Saved([](Child& c, Serializer& s) {
                                s.I32(c.pair_first);
                                if (s.Has(125)) s.I32(c.pair_second);
                              }),
                          });
    return table;
  }
  const PropertyTable& Properties() const override { return Table(); }

  uint8_t hidden = 0;
  int32_t pair_first = 0;
  int32_t pair_second = 0;
};

std::string Saved(const TNovuObject& object) {
  BinaryWriter out;
  object.SaveToStream(out);
  return out.TakeString();
}

TEST(PropertyTable, RowsAnswerAndTakeTheirProperties) {
  struct Case {
    PropId id;
    PropValue written;
    std::string parent_answer;  // after the write
    std::string child_answer;
  };
  const Case cases[] = {
      {PR_DELAY, int32_t{7}, "7", "1007"},        // the child's setter replaces the parent's
      {PR_VOLUME, int32_t{300}, "100", "100"},    // the setter's clamp applies
      {PR_COUNT, int32_t{5}, "0", "0"},           // computed answers ignore writes
      {PR_ONNOTIFY, std::string("h"), "h", "h"},  // strings as they are
      {PR_REPEAT, false, "FALSE", "TRUE"},        // the child's full row ignores writes
      {PR_TAG, std::string("t"), "t", "t"},       // the root class's rows carry through
      {PR_ALPHA, int32_t{9}, "255", "255"},       // no row: the catalogue default
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.id));
    Parent parent(nullptr);
    Child child(nullptr);
    parent.SetProperty(c.id, c.written);
    child.SetProperty(c.id, c.written);
    EXPECT_EQ(PropAsStr(parent.GetProperty(c.id)), c.parent_answer);
    EXPECT_EQ(PropAsStr(child.GetProperty(c.id)), c.child_answer);
  }
  Parent parent(nullptr);
  parent.SetProperty(PR_DELAY, int32_t{21});
  EXPECT_EQ(PropAsInt(parent.GetProperty(PR_COUNT)), 42);
}

TEST(PropertyTable, TheRecordFollowsTheRowsParentFirst) {
  Child child(nullptr);
  child.AssignName("c");
  child.SetPriority(3);
  child.set_order(4);
  child.SetTag("t");
  child.delay = 5;
  child.volume = 6;
  child.handler = "h";
  child.repeat = true;
  child.hidden = 7;
  child.pair_first = 8;
  child.pair_second = 9;

  BinaryWriter expected;
  expected.String("c");
  expected.I32(3);
  expected.I32(4);
  expected.String("t");
  expected.I32(5);
  expected.I32(6);
  expected.String("h");
  expected.Bool(true);
  expected.U8(7);
  expected.I32(8);
  expected.I32(9);
  const std::string bytes = Saved(child);
  EXPECT_EQ(bytes, expected.TakeString());

  Child restored(nullptr);
  BinaryReader in(bytes);
  restored.LoadFromStream(in, {kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(Saved(restored), bytes);
}

// Fields newer than the record are not read and keep what the object had.
TEST(PropertyTable, OlderRecordsLeaveOutTheFieldsOfLaterVersions) {
  struct Case {
    int32_t version;
    bool has_order, has_tag, has_handler, has_second;
  };
  const Case cases[] = {
      {100, false, false, false, false},
      {104, true, false, false, false},
      {120, true, true, true, false},
      {125, true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    BinaryWriter out;
    out.String("old");
    out.I32(1);
    if (c.has_order) out.I32(2);
    if (c.has_tag) out.String("t");
    out.I32(3);
    out.I32(4);
    if (c.has_handler) out.String("h");
    out.Bool(true);
    out.U8(5);
    out.I32(6);
    if (c.has_second) out.I32(7);
    const std::string bytes = out.TakeString();

    Child child(nullptr);
    child.handler = "kept";
    child.pair_second = -1;
    BinaryReader in(bytes);
    child.LoadFromStream(in, {c.version});
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(child.name(), "old");
    EXPECT_EQ(child.order(), c.has_order ? 2 : 0);
    EXPECT_EQ(child.tag(), c.has_tag ? "t" : "");
    EXPECT_EQ(child.handler, c.has_handler ? "h" : "kept");
    EXPECT_EQ(child.volume, 4);
    EXPECT_EQ(child.hidden, 5);
    EXPECT_EQ(child.pair_second, c.has_second ? 7 : -1);
  }
}

}  // namespace
}  // namespace novu

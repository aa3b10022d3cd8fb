#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_system.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/system_variable_host.h"
#include "expr_test_support.h"
#include "storage/hash_collection.h"

namespace novu {
namespace {

using test::Evaluate;
using test::MessageOf;
using test::Var;

TEST(VariableTable, StartsWithTheSystemVariablesInOrder) {
  TParamCollection table;
  ASSERT_EQ(table.Count(), kSystemVariableCount);
  for (int i = 0; i < kSystemVariableCount; ++i) {
    EXPECT_EQ(table.Var(i).name(), kSystemVariables[static_cast<size_t>(i)].name);
    EXPECT_TRUE(table.Var(i).is_system());
  }
  EXPECT_EQ(table.Find("@textdelay"), &table.Var(7));
  EXPECT_EQ(table.IndexOf("@STACKCOUNT"), 50);
}

TEST(VariableTable, NameHashMatchesTheHashCollection) {
  const char* names[] = {
      "abc",       "ABC",      "a", "", "____0", "____d_12", "@Result", "Ab", "\x83\x41\x83\x41",
      "x\x83\x41", "\x83\x41Z"};
  for (const char* name : names) EXPECT_EQ(NameHash(name), THashCollection::NameHash(name));
  EXPECT_EQ(NameHash("abc"), 243);
  EXPECT_EQ(NameHash("a"), 16);
}

TEST(VariableTable, NameRules) {
  TParamCollection table;
  const struct {
    const char* name;
    bool valid;
  } cases[] = {{"a", true},    {"_x1", true},   {"@Mine", true}, {"1a", false},
               {"a b", false}, {"a\tb", false}, {"", false}};
  for (const auto& c : cases) {
    std::string message = MessageOf([&] { CheckVariableName(c.name); });
    if (c.valid) {
      EXPECT_EQ(message, "(no error)") << c.name;
    } else {
      EXPECT_EQ(message, FormatOne(Jp("\"%s\"：変数名が不正です"), c.name)) << c.name;
    }
  }
  EXPECT_EQ(MessageOf([&] { table.Declare("", PT_INT, VarScope::kGlobal, nullptr); }),
            Jp("変数名がありません"));
  EXPECT_THROW(table.Declare("9x", PT_INT, VarScope::kGlobal, nullptr), NovuError);
  EXPECT_EQ(table.Count(), kSystemVariableCount);  // nothing half-made is left behind
}

TEST(VariableTable, ScopesFollowTheCallDepth) {
  TParamCollection table;
  table.Declare("g", PT_INT, VarScope::kGlobal, nullptr)->value().SetAsInt(1);
  table.SetDepth(2);
  table.Declare("g", PT_INT, VarScope::kLocal, nullptr)->value().SetAsInt(2);
  table.Declare("auto", PT_INT, VarScope::kAutoDispose, nullptr);
  EXPECT_EQ(table.Find("G")->value().GetAsInt(), 2);  // the local one at its depth
  table.SetDepth(3);
  EXPECT_EQ(table.Find("g")->value().GetAsInt(), 1);  // the global one elsewhere
  EXPECT_NE(table.Find("auto"), nullptr);             // auto-dispose is visible everywhere
  table.SetDepth(2);
  EXPECT_EQ(table.Find("g")->value().GetAsInt(), 2);
  EXPECT_EQ(table.Find("g")->scope(), VarScope::kLocal);
  EXPECT_EQ(table.Find("auto")->scope(), VarScope::kAutoDispose);
  table.DeleteScope(2);
  EXPECT_EQ(table.Find("auto"), nullptr);
  EXPECT_EQ(table.Find("g")->value().GetAsInt(), 1);
  table.DeleteScope(-1);  // variables bound to no depth are not a scope
  EXPECT_NE(table.Find("g"), nullptr);
}

TEST(VariableTable, CachedLookupsSeeScopeChanges) {
  TParamCollection table;
  Var(table, "v", PT_INT, "1");
  TNovuParser read;
  read.LoadFromText("v");
  read.Evaluate(table);
  EXPECT_EQ(read.result()->GetAsInt(), 1);
  table.SetDepth(4);
  table.Declare("v", PT_INT, VarScope::kLocal, nullptr)->value().SetAsInt(4);
  read.Evaluate(table);
  EXPECT_EQ(read.result()->GetAsInt(), 4);
  table.DeleteScope(4);
  read.Evaluate(table);
  EXPECT_EQ(read.result()->GetAsInt(), 1);
  table.Delete("v");
  read.Evaluate(table);
  EXPECT_EQ(read.result(), nullptr);
}

TEST(VariableTable, DeclareConvertsAndKeepsStatusValues) {
  TParamCollection table;
  TNovuParser init;
  init.LoadFromText("2.75 * 2");
  TParamCollectionItem* i = table.Declare("i", PT_INT, VarScope::kGlobal, &init);
  EXPECT_EQ(i->value().GetAsInt(), 5);
  // Declaring again with another type converts through that type into the existing variable:
  // as a float 5.5 stores 5, as a string "5.5" does not parse as an integer.
  i->value().SetAsInt(1);
  table.Declare("i", PT_FLOAT, VarScope::kGlobal, &init);
  EXPECT_EQ(i->value().GetParamType(), PT_INT);
  EXPECT_EQ(i->value().GetAsInt(), 5);
  table.Declare("i", PT_STR, VarScope::kGlobal, &init);
  EXPECT_EQ(i->value().GetAsInt(), 0);

  TParamCollectionItem* st = table.Declare("st", PT_INT, VarScope::kStatus, &init);
  EXPECT_EQ(st->value().GetAsInt(), 5);
  st->value().SetAsInt(77);
  table.Declare("st", PT_INT, VarScope::kStatus, &init);
  EXPECT_EQ(st->value().GetAsInt(), 77);
}

TEST(VariableTable, ResetKeepsSystemAndStatusVariables) {
  TParamCollection table;
  Var(table, "plain", PT_INT);
  table.Declare("keep", PT_STR, VarScope::kStatus, nullptr);
  Evaluate(table, "@TextDelay = 10");
  Evaluate(table, "@Cursor = \"hand.cur\"");
  EXPECT_EQ(table.text_delay(), 10);
  table.Reset();
  EXPECT_EQ(table.Find("plain"), nullptr);
  EXPECT_NE(table.Find("keep"), nullptr);
  EXPECT_EQ(table.Count(), kSystemVariableCount + 1);
  EXPECT_EQ(table.text_delay(), 50);
  EXPECT_EQ(table.cursor(), "");
}

TEST(VariableTable, SystemVariablesCannotBeFreed) {
  TParamCollection table;
  table.Delete("@TextDelay");
  const std::vector<std::string> names = {"@TextDelay", "@Result"};
  table.PushVars(names);
  table.PopVars();
  EXPECT_EQ(table.Count(), kSystemVariableCount);
  EXPECT_TRUE(table.Find("@TextDelay")->is_system());
  EXPECT_EQ(MessageOf([&] { table.CopyValue("@TextDelay")->GetAsInt(); }), "(no error)");
  EXPECT_EQ(table.CopyValue("@TextDelay")->GetAsInt(), 50);
}

TEST(SystemVariables, WritesParseTextAndIgnoreTheRest) {
  TParamCollection table;
  TCustomParam& delay = table.Find("@TextDelay")->value();
  delay.SetAsStr("abc");
  EXPECT_EQ(delay.GetAsInt(), 50);
  delay.SetAsStr("12");
  EXPECT_EQ(delay.GetAsInt(), 12);
  delay.SetAsFloat(7.9L);
  EXPECT_EQ(delay.GetAsStr(), "7");
  TCustomParam& pi = table.Find("@Pi")->value();
  pi.SetAsInt(3);
  EXPECT_EQ(pi.GetParamType(), PT_FLOAT);
  EXPECT_EQ(pi.GetAsInt(), 3);
  EXPECT_GT(pi.GetAsFloat(), 3.14159L);
  TCustomParam& sel = table.Find("@SelIndex")->value();
  sel.SetAsStr("-1");
  EXPECT_EQ(table.sel_index(), -1);
  EXPECT_EQ(table.Find("@1Hour")->value().GetAsStr(), "0.0416666666666667");
  EXPECT_FALSE(table.Find("@IsDebug")->value().GetAsBool());
  table.SetDepth(3);
  EXPECT_EQ(table.Find("@StackCount")->value().GetAsInt(), 3);
  EXPECT_EQ(MessageOf([&] { delay.FillInt(1); }), Jp("内部エラー"));
  EXPECT_EQ(MessageOf([&] { delay.GetIntAt(1); }), Jp("配列の添字が不正です"));
}

TEST(SystemVariables, ArraysAndDefaultsWithoutAHost) {
  TParamCollection table;
  TCustomParam& keys = table.Find("@KeyPush")->value();
  EXPECT_EQ(keys.GetCount(), kKeyStateCount);
  EXPECT_FALSE(keys.GetAsBool());
  EXPECT_FALSE(keys.GetBoolAt(257));
  EXPECT_THROW(keys.GetBoolAt(258), NovuError);
  EXPECT_EQ(table.Find("@ParamStr")->value().GetCount(), 0);
  EXPECT_EQ(table.Find("@ParamStr")->value().GetAsStr(), "");
  EXPECT_TRUE(table.Find("@SoundON")->value().GetAsBool());
  EXPECT_EQ(table.Find("@Result")->value().GetAsInt(), 0);
  EXPECT_GE(table.Find("@Year")->value().GetAsInt(), 2000);
  const int32_t week = table.Find("@Week")->value().GetAsInt();
  EXPECT_TRUE(week >= 1 && week <= 7);
}

class RecordingHost : public SystemVariableHost {
 public:
  int32_t GetInt(SystemVariable v) override {
    return v == SystemVariable::kMouseX ? mouse_x : SystemVariableHost::GetInt(v);
  }
  void SetBool(SystemVariable v, bool value) override {
    if (v == SystemVariable::kLClick) left_click = value;
  }
  void SetInt(SystemVariable v, int32_t value) override {
    if (v == SystemVariable::kMouseX) mouse_x = value;
  }
  int32_t ElementCount(SystemVariable v) override {
    return v == SystemVariable::kParamStr ? 2 : SystemVariableHost::ElementCount(v);
  }
  std::string GetStrAt(SystemVariable, int32_t index) override {
    return index == 0 ? "first" : "second";
  }
  TCustomParam* ResultSlot() override { return &slot; }

  int32_t mouse_x = 5;
  bool left_click = false;
  TParamFloat slot;
};

TEST(SystemVariables, HostSuppliesAndTakesValues) {
  TParamCollection table;
  RecordingHost host;
  table.SetHost(&host);
  Var(table, "x", PT_INT);
  Evaluate(table, "@MouseX = @MouseX * 2");
  EXPECT_EQ(host.mouse_x, 10);
  // A text written into a flag takes its integer parse; other text leaves it alone.
  TCustomParam& click = table.Find("@LClick")->value();
  click.SetAsStr("1");
  EXPECT_TRUE(host.left_click);
  click.SetAsStr("FALSE");
  EXPECT_TRUE(host.left_click);
  click.SetAsStr("0");
  EXPECT_FALSE(host.left_click);
  EXPECT_EQ(Evaluate(table, "@ParamStr[1]").text, "second");
  EXPECT_EQ(Evaluate(table, "@ParamStr[2]").text, "(none)");
  Evaluate(table, "@Result = 1.5");
  EXPECT_EQ(host.slot.GetAsFloat(), 1.5L);
  EXPECT_EQ(table.Find("@Result")->value().GetParamType(), PT_FLOAT);
  // @Temp forwards to the variable AssignTemp named.
  table.SetAssignTempName("x");
  Evaluate(table, "@Temp = 9");
  EXPECT_EQ(table.Find("x")->value().GetAsInt(), 9);
  table.SetAssignTempName("@Temp");  // a loop onto itself reads as nothing
  EXPECT_EQ(table.Find("@Temp")->value().GetAsInt(), 0);
  // So does a reference that addresses @Temp.
  TParamCollectionItem* loop = table.AddTemporary(PT_NONE, "loop");
  static_cast<TParamVar&>(loop->value()).Bind(table, *table.Find("@Temp"), 0);
  table.SetAssignTempName("loop");
  EXPECT_EQ(table.Find("@Temp")->value().GetAsInt(), 0);
  table.FreeTemporary(loop);
}

// A table with one variable of every kind, for the stream tests.
void Populate(TParamCollection& table) {
  Var(table, "i", PT_INT, "-4");
  Var(table, "f", PT_FLOAT, "0.125");
  Var(table, "b", PT_BOOL, "TRUE");
  TParamCollectionItem& s = Var(table, "s", PT_STR);
  const std::array<int32_t, 2> dims = {2, 2};
  s.value().SetDims(dims);
  s.value().SetStrAt(3, Jp("終わり"));
  table.SetDepth(1);
  table.Declare("loc", PT_INT, VarScope::kLocal, nullptr)->value().SetAsInt(8);
  table.Declare("st", PT_STR, VarScope::kStatus, nullptr)->value().SetAsStr("kept");
  table.SetDepth(0);
  table.SetSelStr("choice");
  table.SetSelIndex(3);
  table.SetTextDelay(20);
  table.SetCursor("c.cur");
  table.SetAssignTempName("i");
}

std::string Describe(const TParamCollection& table) {
  std::string out;
  for (int i = kSystemVariableCount; i < table.Count(); ++i) {
    const TParamCollectionItem& item = table.Var(i);
    if (item.status()) continue;  // status variables travel in the status block
    out += item.name() + ":" + std::to_string(item.value().GetParamType()) + ":" +
           std::to_string(static_cast<int>(item.scope())) + ":" +
           std::to_string(item.scope_depth()) + ":";
    for (int32_t d : item.value().dims()) out += std::to_string(d) + "x";
    for (int32_t e = 0; e < item.value().GetCount(); ++e) out += item.value().GetStrAt(e) + ",";
    out += "\n";
  }
  out += std::to_string(table.text_delay()) + table.cursor() + table.sel_str() +
         std::to_string(table.sel_index()) + table.assign_temp_name();
  return out;
}

TEST(VariableStreams, GameBlockRoundTrip) {
  TParamCollection source;
  Populate(source);
  const std::vector<std::string> pushed = {"i", "s", "missing"};
  source.PushVars(pushed);
  BinaryWriter out;
  source.SaveToStream(out);

  TParamCollection loaded;
  Var(loaded, "gone", PT_INT);
  loaded.Declare("st", PT_STR, VarScope::kStatus, nullptr)->value().SetAsStr("kept");
  BinaryReader in(std::span<const uint8_t>(out.bytes()));
  loaded.LoadFromStream(in, 139);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(loaded.Find("gone"), nullptr);
  EXPECT_EQ(Describe(loaded), Describe(source));
  EXPECT_EQ(loaded.VarStackSize(), 1u);
  // The restored stack entry pops back into the variables.
  Evaluate(loaded, "i = 100");
  loaded.PopVars();
  EXPECT_EQ(loaded.Find("i")->value().GetAsInt(), -4);
}

TEST(VariableStreams, OlderVersionsReadFewerFields) {
  const struct {
    int32_t version;
    bool sel;
    bool history;
    bool temp_name;
  } cases[] = {{100, false, false, false},
               {110, true, false, false},
               {120, true, true, false},
               {130, true, true, true},
               {138, true, false, true}};
  for (const auto& c : cases) {
    BinaryWriter out;
    out.I32(0);
    out.I32(33);
    out.String("cur");
    if (c.sel) {
      out.String("sel");
      out.I32(4);
    }
    if (c.history) {
      for (int32_t v : {1, 2, 3, 4, 5, 6}) out.I32(v);
    }
    if (c.temp_name) out.String("t");
    TParamCollection table;
    BinaryReader in(std::span<const uint8_t>(out.bytes()));
    table.LoadFromStream(in, c.version);
    EXPECT_TRUE(in.AtEnd()) << c.version;
    EXPECT_EQ(table.text_delay(), 33);
    EXPECT_EQ(table.sel_index(), c.sel ? 4 : 0);
    EXPECT_EQ(table.legacy_history_limits()[5], c.history ? 6 : 0);
    EXPECT_EQ(table.assign_temp_name(), c.temp_name ? "t" : "");
  }
}

TEST(VariableStreams, StatusBlockRoundTrip) {
  TParamCollection source;
  Populate(source);
  BinaryWriter out;
  source.SaveStatusToStream(out);
  TParamCollection loaded;
  Var(loaded, "other", PT_INT);
  BinaryReader in(std::span<const uint8_t>(out.bytes()));
  loaded.LoadStatusFromStream(in);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_NE(loaded.Find("other"), nullptr);  // nothing is freed first
  EXPECT_EQ(loaded.Find("st")->value().GetAsStr(), "kept");
  EXPECT_EQ(loaded.Find("st")->scope(), VarScope::kStatus);
  EXPECT_EQ(loaded.Find("i"), nullptr);
}

TEST(VariableStreams, DamagedBlockLeavesTheTableAlone) {
  TParamCollection source;
  Populate(source);
  BinaryWriter out;
  source.SaveToStream(out);
  std::vector<uint8_t> bytes = out.Take();
  for (size_t cut : {size_t{4}, bytes.size() / 2, bytes.size() - 1}) {
    TParamCollection table;
    Var(table, "mine", PT_INT, "1");
    std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(cut));
    BinaryReader in{std::span<const uint8_t>(truncated)};
    EXPECT_THROW(table.LoadFromStream(in, 139), NovuError) << cut;
    EXPECT_NE(table.Find("mine"), nullptr) << cut;
    EXPECT_EQ(table.Count(), kSystemVariableCount + 1) << cut;
  }
  // An unknown type code is refused rather than guessed.
  BinaryWriter bad;
  bad.I32(1);
  bad.U8(9);
  for (int i = 0; i < 8; ++i) bad.I32(0);
  TParamCollection table;
  BinaryReader in{std::span<const uint8_t>(bad.bytes())};
  EXPECT_THROW(table.LoadFromStream(in, 139), NovuError);
}

TEST(VariableStack, PushAndPopRestoreValuesAndTypes) {
  TParamCollection table;
  Var(table, "a", PT_INT, "1");
  Var(table, "b", PT_STR, "x");
  const std::vector<std::string> names = {"a", "b", "nothing"};
  table.PushVars(names);
  table.Delete("a");
  table.Delete("b");
  Var(table, "b", PT_FLOAT, "2.5");
  table.PopVars();
  EXPECT_EQ(table.Find("a")->value().GetAsInt(), 1);
  EXPECT_EQ(table.Find("b")->value().GetParamType(), PT_STR);
  EXPECT_EQ(table.Find("b")->value().GetAsStr(), "x");
  EXPECT_EQ(table.VarStackSize(), 0u);
  table.PopVars();  // an empty stack does nothing
  EXPECT_EQ(table.Count(), kSystemVariableCount + 2);
}

TEST(VariableStack, ReferencesToAPoppedVariableStayValid) {
  TParamCollection table;
  TParamCollectionItem& a = Var(table, "a", PT_INT, "3");
  const std::vector<std::string> names = {"a"};
  table.PushVars(names);
  a.value().SetAsStr("x");
  TParamVar ref("a");
  ref.Resolve(table);
  Evaluate(table, "a = 1");
  // Changing a's class while a reference is bound must not leave it dangling.
  table.Delete("a");
  Var(table, "a", PT_STR, "now text");
  table.PopVars();
  EXPECT_EQ(table.Find("a")->value().GetAsStr(), "3");
  EXPECT_EQ(ref.GetAsInt(), 0);  // its variable was freed: the reference reads nothing
}

}  // namespace
}  // namespace novu

namespace novu {
namespace {

TEST(VariableStreams, ReferencesFollowTheirTargetsAndUnnamedItemsAreDropped) {
  TParamCollection source;
  TParamCollectionItem* ref = source.Add(PT_NONE);  // made before its target
  ref->SetName("r");
  TParamCollectionItem& target = test::Var(source, "t", PT_INT, "6");
  static_cast<TParamVar&>(ref->value()).Bind(source, target, 0);
  TParamCollectionItem* dangling = source.Add(PT_NONE);
  dangling->SetName("nowhere");
  source.Add(PT_INT);  // never named
  BinaryWriter out;
  source.SaveToStream(out);

  TParamCollection loaded;
  BinaryReader in(std::span<const uint8_t>(out.bytes()));
  loaded.LoadFromStream(in, 139);
  ASSERT_EQ(loaded.Count(), kSystemVariableCount + 2);
  EXPECT_EQ(loaded.Var(kSystemVariableCount).name(), "t");
  EXPECT_EQ(loaded.Var(kSystemVariableCount + 1).name(), "r");
  EXPECT_EQ(loaded.Find("r")->value().GetAsInt(), 6);
  EXPECT_EQ(loaded.Find("nowhere"), nullptr);  // its target is never written
}

}  // namespace
}  // namespace novu

namespace novu {
namespace {

// A host that keeps the flags and numbers scripts write, for the write rules of the table.
class KeepingHost : public SystemVariableHost {
 public:
  bool GetBool(SystemVariable v) override { return v == SystemVariable::kCGDither && dither; }
  void SetBool(SystemVariable v, bool value) override {
    if (v == SystemVariable::kCGDither) dither = value;
  }
  bool dither = true;
};

TEST(SystemVariables, AssignedTextThatDoesNotParseLeavesNumbersAndFlagsUnchanged) {
  TParamCollection table;
  KeepingHost host;
  table.SetHost(&host);
  struct Case {
    std::string_view expression;
    int32_t delay;
    bool dither;
  };
  const Case cases[] = {
      {"@TextDelay = \"abc\"", 50, true},
      {"@TextDelay = \"12\"", 12, true},
      {"@TextDelay = \"\"", 12, true},
      {"@CGDither = \"TRUE\"", 12, true},  // not a number: unchanged
      {"@CGDither = \"0\"", 12, false},
      {"@CGDither = \"x\"", 12, false},
      {"@CGDither = \"5\"", 12, true},
      {"@TextDelay = 7", 7, true},
  };
  for (const Case& c : cases) {
    test::Evaluate(table, c.expression);
    EXPECT_EQ(table.text_delay(), c.delay) << c.expression;
    EXPECT_EQ(host.dither, c.dither) << c.expression;
  }
  table.SetHost(nullptr);
}

}  // namespace
}  // namespace novu

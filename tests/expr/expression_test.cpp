#include <gtest/gtest.h>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/build_novu_parser.h"
#include "expr/param_values.h"
#include "expr/param_var.h"
#include "expr/system_function.h"
#include "expr_test_support.h"

namespace novu {
namespace {

using test::Evaluate;
using test::MessageOf;
using test::Var;

// The operations the compiler makes, one line each: "target = op operand, operand".
std::string Listing(std::string_view text) {
  TBuildNovuParser builder;
  builder.Compile(text);
  std::string out;
  for (const TBuildOpeData& op : builder.operations()) {
    out += op.target + " = " + std::string(OperationName(op.code));
    for (size_t i = 0; i < op.operands.size(); ++i) out += (i ? ", " : " ") + op.operands[i];
    out += "\n";
  }
  return out;
}

TEST(Compiler, MakesTheDocumentedTemporaries) {
  const struct {
    const char* text;
    const char* listing;
  } cases[] = {
      {"1 + 2 * 3", "____0 = ocMul 2, 3\n____1 = ocPlus 1, ____0\n____arg = ocTo ____1\n"},
      {"x = a * b + c", "____0 = ocMul a, b\n____1 = ocPlus ____0, c\nx = ocTo ____1\n"},
      {"a[1, i + 1] = 5", "____2 = ocPlus i, 1\n____d_0 = ocDimTo a, 1, ____2\n____d_0 = ocTo 5\n"},
      {"f(g(1), (2 + 3))",
       "____0 = ocFunc g, 1\n____3 = ocPlus 2, 3\n____1 = ocFunc f, ____0, ____3\n"
       "____arg = ocTo ____1\n"},
      {"-a + b", "____0 = ocMinus 0, a\n____1 = ocPlus ____0, b\n____arg = ocTo ____1\n"},
      {"a * -b", "____0 = ocMinus 0, b\n____1 = ocMul a, ____0\n____arg = ocTo ____1\n"},
      {"s = \"a\\\"b\" ++ t",
       "____0 = ocTo \"a\"b\"\n____1 = ocComboStr ____0, t\ns = ocTo ____1\n"},
      {"(1 + 2) * 3", "____1 = ocPlus 1, 2\n____2 = ocMul ____1, 3\n____arg = ocTo ____2\n"},
      {"x", "____arg = ocTo x\n"},
      {"PopVar()", "____0 = ocFunc PopVar\n____arg = ocTo ____0\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Listing(c.text), c.listing) << c.text;
}

TEST(Compiler, SyntaxErrors) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"a = b = c", "構文エラー"}, {"(1 + 2", "構文エラー"},
      {"1 + 2)", "構文エラー"},    {"f(a])", "構文エラー"},
      {"1 +", "構文エラー"},       {"* 2", "構文エラー"},
      {"a b = 1 2", "(no error)"}, {"a[]", "配列の添え字が不正です"},
      {"\"open", "構文エラー"},    {"+[1]", "構文エラー"},
  };
  for (const auto& c : cases) {
    TBuildNovuParser builder;
    std::string expected = c.message[0] == '(' ? c.message : Jp(c.message);
    EXPECT_EQ(MessageOf([&] { builder.Compile(c.text); }), expected) << c.text;
  }
}

TEST(Compiler, FunctionNamesAndArgumentCountsAreCheckedWhenWritten) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"Nothing(1)", "\"Nothing\" 関数名がありません"},
      {"inttostr(1)", "\"inttostr\" 関数名がありません"},
      {"IntToStr()", "IntToStr 引数の数が不正です"},
      {"IntToStr(1, 2, 3)", "IntToStr 引数の数が不正です"},
  };
  for (const auto& c : cases) {
    TNovuParser parser;
    EXPECT_EQ(MessageOf([&] { parser.LoadFromText(c.text); }), Jp(c.message)) << c.text;
  }
  TNovuParser unbounded;
  EXPECT_NO_THROW(unbounded.LoadFromText("PushVar(a, b, c, d, e, f, g, h, i, j, k)"));
}

TEST(Compiler, OperandClassification) {
  TNovuParser parser;
  parser.LoadFromText("x = $10 + 2.5 + TRUE + \"s\" + y + 1e3");
  std::vector<std::pair<ParamType, std::string>> operands;
  for (const TOpeData& op : parser.operations()) {
    for (size_t i = 0; i < op.operands.size(); ++i) {
      const TCustomParam& v = *op.operands[i];
      operands.emplace_back(v.IsReference() ? PT_NONE : v.GetParamType(), op.OperandText(i));
    }
  }
  const std::vector<std::pair<ParamType, std::string>> expected = {
      {PT_STR, "s"},     {PT_INT, "16"},     {PT_FLOAT, "2.5"},  {PT_NONE, "____1"},
      {PT_BOOL, "TRUE"}, {PT_NONE, "____2"}, {PT_NONE, "____0"}, {PT_NONE, "____3"},
      {PT_NONE, "y"},    {PT_NONE, "____4"}, {PT_FLOAT, "1000"}, {PT_NONE, "____5"},
  };
  EXPECT_EQ(operands, expected);
}

TEST(Evaluator, OperatorsResultTypesAndValues) {
  TParamCollection table;
  Var(table, "i", PT_INT, "7");
  Var(table, "f", PT_FLOAT, "2.5");
  Var(table, "b", PT_BOOL, "TRUE");
  Var(table, "s", PT_STR, "ab");
  Var(table, "n10", PT_STR, "10");
  Var(table, "n9", PT_STR, "9");
  const struct {
    const char* text;
    ParamType type;
    const char* value;
  } cases[] = {
      {"1 + 2 * 3", PT_INT, "7"},
      {"10 - 4 - 3", PT_INT, "3"},
      {"2 * 3 % 4", PT_INT, "2"},
      {"1 + 2.5", PT_INT, "3"},
      {"2.5 + 1", PT_FLOAT, "3.5"},
      {"s + 1", PT_STR, "1"},
      {"s ++ 1", PT_STR, "ab1"},
      {"1 < 2 ++ s", PT_STR, "TRUEab"},
      {"i / 2", PT_INT, "3"},
      {"-7 / 2", PT_INT, "-3"},
      {"-7 % 3", PT_INT, "-1"},
      {"f / 2", PT_FLOAT, "1.25"},
      {"f * 2", PT_FLOAT, "5"},
      {"i - f", PT_INT, "5"},
      {"b + 1", PT_INT, "2"},
      {"6 | 1", PT_INT, "7"},
      {"6 & 3", PT_INT, "2"},
      {"6 ^ 3", PT_INT, "5"},
      {"1 << 4", PT_INT, "16"},
      {"1 << 33", PT_INT, "2"},
      {"-1 >> 28", PT_INT, "15"},
      {"-a_missing_variable", PT_NONE, "(none)"},
      {"i & 3 == 3", PT_INT, "1"},
      {"n10 > n9", PT_BOOL, "FALSE"},
      {"10 > 9", PT_BOOL, "TRUE"},
      {"n10 > 9", PT_BOOL, "FALSE"},
      {"f >= 2.5", PT_BOOL, "TRUE"},
      {"f == 2", PT_BOOL, "FALSE"},
      {"i == 7.9", PT_BOOL, "TRUE"},
      {"b == 5", PT_BOOL, "TRUE"},
      {"b > FALSE", PT_BOOL, "TRUE"},
      {"s <> \"ab\"", PT_BOOL, "FALSE"},
      {"s < \"b\"", PT_BOOL, "TRUE"},
      {"s", PT_STR, "ab"},
      {"$10", PT_INT, "16"},
      {"\"x\\ny\"", PT_STR, "x\r\ny"},
      {"@Pi > 3.14", PT_BOOL, "TRUE"},
      {"IntToStr(5)", PT_STR, ""},  // functions arrive separately; results stay zero
  };
  for (const auto& c : cases) {
    test::Outcome got = Evaluate(table, c.text);
    EXPECT_EQ(got.type, c.type) << c.text;
    EXPECT_EQ(got.text, c.value) << c.text;
  }
  // Every temporary is gone afterwards.
  for (int i = 0; i < table.Count(); ++i) {
    EXPECT_FALSE(IsTemporaryName(table.Var(i).name())) << table.Var(i).name();
  }
}

TEST(Evaluator, ArithmeticFaultsEndTheEvaluationOrWrap) {
  TParamCollection table;
  Var(table, "x", PT_INT, "1");
  Var(table, "f", PT_FLOAT, "1");
  const struct {
    const char* text;
    const char* value;
  } cases[] = {
      {"7 / 0", "(none)"},
      {"7 % 0", "(none)"},
      {"f / 0", "(none)"},
      {"-2147483647 - 1", "-2147483648"},
      {"(-2147483647 - 1) / -1", "-2147483648"},
      {"(-2147483647 - 1) % -1", "0"},
      {"2147483647 + 1", "-2147483648"},
      {"65536 * 65536", "0"},
      {"1 << -1", "-2147483648"},
      {"1e4000 * 1e4000 + 0", "INF"},
  };
  for (const auto& c : cases) EXPECT_EQ(Evaluate(table, c.text).text, c.value) << c.text;
  // An assignment after a failing operation does not happen.
  Evaluate(table, "x = 5 / 0");
  EXPECT_EQ(table.Find("x")->value().GetAsInt(), 1);
}

TEST(Evaluator, AssignmentsAndElementReferences) {
  TParamCollection table;
  TParamCollectionItem& a = Var(table, "a", PT_INT);
  const std::array<int32_t, 2> dims = {3, 4};
  a.value().SetDims(dims);
  Var(table, "s", PT_STR, "x");
  Var(table, "i", PT_INT, "2");

  Evaluate(table, "a[1, i] = 40 + 2");
  EXPECT_EQ(a.value().GetIntAt(6), 42);
  EXPECT_EQ(Evaluate(table, "a[1,2] + 1").text, "43");
  EXPECT_EQ(Evaluate(table, "a[0, 5]").text, "0");  // flat 5: each subscript is not checked
  EXPECT_EQ(Evaluate(table, "a[2, 4]").text, "(none)");
  EXPECT_EQ(Evaluate(table, "a[1]").text, "(none)");
  EXPECT_EQ(Evaluate(table, "a[a[1,2] - 42, 6]").text, "42");
  Evaluate(table, "s = a[1,2]");
  EXPECT_EQ(table.Find("s")->value().GetAsStr(), "42");
  // A scalar takes the subscript 0 only.
  EXPECT_EQ(Evaluate(table, "i[0]").text, "2");
  EXPECT_EQ(Evaluate(table, "i[1]").text, "(none)");
  EXPECT_EQ(a.value().GetCount(), 12);  // element writes keep the shape
}

TEST(Evaluator, ElementAddressMessages) {
  TParamCollection table;
  TParamCollectionItem& a = Var(table, "a", PT_INT);
  const std::array<int32_t, 2> dims = {3, 4};
  a.value().SetDims(dims);
  TParamCollectionItem& ref = *table.AddTemporary(PT_NONE, "r");
  auto& var = static_cast<TParamVar&>(ref.value());
  var.Bind(table, a, 0);
  // A reference to a reference addresses the same element.
  TParamVar outer("r");
  outer.Resolve(table);
  a.value().SetIntAt(0, 9);
  EXPECT_EQ(outer.GetAsInt(), 9);
  EXPECT_EQ(outer.target(), &a);
  EXPECT_EQ(MessageOf([&] {
              TParamVar missing("nope");
              missing.Resolve(table);
            }),
            Jp("\"nope\" 変数がありません"));
  table.FreeTemporary(&ref);
}

TEST(Evaluator, StreamOfACompiledTextEvaluatesTheSame) {
  const char* texts[] = {"x = (a + 2) * a - a / 3", "s = \"v=\" ++ a ++ \";\"", "a >= 2 & a < 9"};
  for (const char* text : texts) {
    TBuildNovuParser builder;
    builder.Compile(text);
    BinaryWriter first;
    builder.SaveToStream(first);
    TNovuParser parser;
    BinaryReader in(std::span<const uint8_t>(first.bytes()));
    parser.LoadFromStream(in);
    BinaryWriter second;
    parser.SaveToStream(second);
    EXPECT_EQ(first.bytes(), second.bytes()) << text;
    TNovuParser copy;
    copy.Assign(parser);

    TParamCollection one, two;
    for (TParamCollection* t : {&one, &two}) {
      Var(*t, "a", PT_INT, "7");
      Var(*t, "x", PT_INT);
      Var(*t, "s", PT_STR);
    }
    parser.Evaluate(one);
    copy.Evaluate(two);
    for (const char* name : {"x", "s"}) {
      EXPECT_EQ(one.Find(name)->value().GetAsStr(), two.Find(name)->value().GetAsStr());
    }
    EXPECT_EQ(parser.result() != nullptr, copy.result() != nullptr);
  }
  TParamCollection table;
  Var(table, "a", PT_INT, "7");
  Var(table, "x", PT_INT);
  Evaluate(table, texts[0]);
  EXPECT_EQ(table.Find("x")->value().GetAsInt(), 61);
}

TEST(Evaluator, DamagedStreamsAreRefused) {
  const struct {
    const char* label;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"operation count beyond the data", {0xFF, 0xFF, 0xFF, 0x7F}},
      {"negative operation count", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"operand count beyond the data", {1, 0, 0, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0}},
      {"unknown operand tag", {1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 0, 0}},
      {"truncated", {1, 0, 0, 0, 1, 4, 0, 0, 0, 'a'}},
  };
  for (const auto& c : cases) {
    TNovuParser parser;
    parser.LoadFromText("x = 1");
    BinaryReader in{std::span<const uint8_t>(c.bytes)};
    EXPECT_THROW(parser.LoadFromStream(in), NovuError) << c.label;
    EXPECT_EQ(parser.operations().size(), 1u) << c.label;  // unchanged
  }
}

// Builds a one-operation stream by hand: "____arg" or `target` <- code(operands).
std::vector<uint8_t> OneOperation(uint8_t code, std::string_view target, uint8_t function,
                                  const std::vector<std::pair<uint8_t, int32_t>>& int_operands) {
  BinaryWriter out;
  out.I32(2);
  out.U8(code);
  out.String(target);
  out.I32(static_cast<int32_t>(int_operands.size()));
  if (code == ocFunc) out.U8(function);
  for (auto [tag, value] : int_operands) {
    out.U8(tag);
    out.I32(value);
  }
  out.U8(ocTo);
  out.String("____arg");
  out.I32(1);
  out.U8(PT_NONE);
  out.String(target);
  return out.Take();
}

TEST(Evaluator, InvalidOperationsInFilesEndTheEvaluation) {
  TParamCollection table;
  const struct {
    const char* label;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"function number 159", OneOperation(ocFunc, "____0", 159, {{PT_INT, 1}})},
      {"function number 255", OneOperation(ocFunc, "____0", 255, {})},
      {"GetProp of property 163", OneOperation(ocFunc, "____0", 2, {{PT_INT, 0}, {PT_INT, 163}})},
      {"GetProp of property -1", OneOperation(ocFunc, "____0", 2, {{PT_INT, 0}, {PT_INT, -1}})},
      {"too few arguments", OneOperation(ocFunc, "____0", 1, {{PT_INT, 1}})},
      {"ocNone", OneOperation(ocNone, "____0", 0, {{PT_INT, 1}})},
      {"code 21", OneOperation(21, "____0", 0, {{PT_INT, 1}})},
      {"ocPlus with one operand", OneOperation(ocPlus, "____0", 0, {{PT_INT, 1}})},
      {"ocDimTo without an array", OneOperation(ocDimTo, "____d_0", 0, {{PT_INT, 1}})},
  };
  for (const auto& c : cases) {
    TNovuParser parser;
    BinaryReader in{std::span<const uint8_t>(c.bytes)};
    parser.LoadFromStream(in);
    parser.Evaluate(table);
    EXPECT_EQ(parser.result(), nullptr) << c.label;
  }
  EXPECT_EQ(table.Count(), kSystemVariableCount);
}

TEST(Evaluator, InvalidOperationMessage) {
  // The message is only visible to a caller that evaluates step by step; check its text by
  // running the same operation with a non-temporary target.
  TParamCollection table;
  Var(table, "t", PT_INT);
  auto bytes = OneOperation(ocNone, "t", 0, {{PT_INT, 5}});
  TNovuParser parser;
  BinaryReader in{std::span<const uint8_t>(bytes)};
  parser.LoadFromStream(in);
  parser.Evaluate(table);
  EXPECT_EQ(parser.result(), nullptr);
  EXPECT_EQ(table.Find("t")->value().GetAsInt(), 0);
}

// A dispatcher that runs Calc (compiling and evaluating its argument with the same table) and
// records what GetProp asked for.
class CalcFunctions : public SystemFunctionDispatcher {
 public:
  void Call(int number, TCustomParam& result, std::span<TCustomParam* const> args,
            TParamCollection& table) override {
    if (number == kCalcFunction) {
      const std::string text = args[0]->GetAsStr();
      TNovuParser nested;
      nested.LoadFromText(text);
      nested.Evaluate(table);
      if (!text.empty()) result.SetAsStr("TRUE");
    } else if (number == kGetPropFunction) {
      result.SetAsInt(args[1]->GetAsInt() * 10);
    }
  }
  ParamType PropertyType(int32_t) override { return PT_INT; }
};

TEST(Evaluator, NestedEvaluationHasItsOwnTemporaries) {
  TParamCollection table;
  CalcFunctions functions;
  table.SetFunctions(&functions);
  Var(table, "x", PT_INT);
  Var(table, "y", PT_INT);
  // The outer expression holds ____0 = 2 * 3 while Calc compiles "y = 10 * 10 + 1", whose
  // temporaries are numbered from 0 as well.
  Evaluate(table, "x = 2 * 3 + Calc(\"y = 10 * 10 + 1\") * 0 + 2 * 3");
  EXPECT_EQ(table.Find("y")->value().GetAsInt(), 101);
  EXPECT_EQ(table.Find("x")->value().GetAsInt(), 12);
  EXPECT_EQ(Evaluate(table, "GetProp(\"\", 7) + 1").text, "71");
  EXPECT_EQ(table.Count(), kSystemVariableCount + 2);
}

TEST(Evaluator, UserVariableNamedLikeATemporaryIsUsedAndKept) {
  TParamCollection table;
  Var(table, "____0", PT_STR, "old");
  EXPECT_EQ(Evaluate(table, "1 + 2").text, "3");
  // The existing variable took the sum (as text) and survives the evaluation.
  EXPECT_EQ(table.Find("____0")->value().GetAsStr(), "3");
}

TEST(RunText, CompilesAndRuns) {
  TParamCollection table;
  Var(table, "x", PT_INT);
  EXPECT_FALSE(RunText("   ", table));
  EXPECT_FALSE(RunText("x = (", table));
  EXPECT_FALSE(RunText("x = Unknown(1)", table));
  EXPECT_TRUE(RunText("  x = 4 * 4  ", table));
  EXPECT_EQ(table.Find("x")->value().GetAsInt(), 16);
  EXPECT_TRUE(RunText("x = 1 / 0", table));  // runs; the failure is silent
  EXPECT_EQ(table.Find("x")->value().GetAsInt(), 16);
}

}  // namespace
}  // namespace novu

namespace novu {
namespace {

TEST(Evaluator, RepeatedEvaluationsFollowTheOperandTypes) {
  TParamCollection table;
  TNovuParser parser;
  parser.LoadFromText("v + 1");
  const struct {
    ParamType type;
    const char* value;
    const char* sum;
  } cases[] = {{PT_INT, "2", "3"},
               {PT_FLOAT, "2.5", "3.5"},
               {PT_STR, "ab", "1"},
               {PT_FLOAT, "0.25", "1.25"},
               {PT_INT, "-1", "0"}};
  for (const auto& c : cases) {
    table.Delete("v");
    test::Var(table, "v", c.type, c.value);
    parser.Evaluate(table);
    ASSERT_NE(parser.result(), nullptr) << c.value;
    EXPECT_EQ(parser.result()->GetParamType(), c.type) << c.value;
    EXPECT_EQ(parser.result()->GetAsStr(), c.sum) << c.value;
  }
  EXPECT_EQ(table.Count(), kSystemVariableCount + 1);
}

}  // namespace
}  // namespace novu

namespace novu {
namespace {

TEST(Evaluator, WhyAnEvaluationStopped) {
  TParamCollection table;
  TParamCollectionItem& a = test::Var(table, "a", PT_INT);
  const std::array<int32_t, 2> dims = {3, 4};
  a.value().SetDims(dims);
  const struct {
    const char* text;
    std::string message;
  } cases[] = {
      {"a[2, 4] + 1", "a[2,4]\r\n" + Jp("要素数を超えています")},
      {"a[2]", "a[2]\r\n" + Jp("添え字が不正です")},
      {"a[0, -1]", Jp("配列の添字が不正です")},
      {"b + 1", Jp("\"b\" 変数がありません")},
      {"a[1, 1] = 2", ""},
  };
  for (const auto& c : cases) {
    TNovuParser parser;
    parser.LoadFromText(c.text);
    parser.Evaluate(table);
    EXPECT_EQ(parser.last_error(), c.message) << c.text;
  }
}

TEST(Compiler, TwoByteCharactersAreNeverSyntax) {
  TParamCollection table;
  // "ソ" ends in a backslash byte and "ー" in a "[" byte; "表" ends in a backslash as well.
  const std::string name = Jp("表示ー");
  test::Var(table, name, PT_STR);
  TNovuParser parser;
  parser.LoadFromText(name + " = \"" + Jp("ソース") + "\" ++ " + Jp("\"ー\""));
  parser.Evaluate(table);
  EXPECT_EQ(parser.last_error(), "");
  EXPECT_EQ(table.Find(name)->value().GetAsStr(), Jp("ソースー"));
}

}  // namespace
}  // namespace novu

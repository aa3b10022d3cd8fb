// A parser evaluated again and again keeps its temporaries and name resolutions between runs;
// these cases pin that every run still reads like a fresh one.
#include <gtest/gtest.h>

#include <array>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_var.h"
#include "expr_test_support.h"

namespace novu {
namespace {

// "____arg = 10 / d", then "____arg = ____arg": the result is made by an operation that can
// fail after making it.
TNovuParser DivisionIntoTheResult() {
  BinaryWriter out;
  out.I32(2);
  out.U8(ocDiv);
  out.String("____arg");
  out.I32(2);
  out.U8(PT_INT);
  out.I32(10);
  out.U8(PT_NONE);
  out.String("d");
  out.U8(ocTo);
  out.String("____arg");
  out.I32(1);
  out.U8(PT_NONE);
  out.String("____arg");
  const std::vector<uint8_t> bytes = out.Take();
  BinaryReader in{std::span<const uint8_t>(bytes)};
  TNovuParser parser;
  parser.LoadFromStream(in);
  return parser;
}

TEST(RepeatedEvaluation, AResultMadeByAFailingOperationStartsAtZero) {
  TParamCollection table;
  TParamCollectionItem& d = test::Var(table, "d", PT_INT);
  TNovuParser parser = DivisionIntoTheResult();
  const struct {
    int32_t divisor;
    const char* result;
  } cases[] = {{2, "5"}, {0, "0"}, {3, "3"}, {0, "0"}};
  for (const auto& c : cases) {
    d.value().SetAsInt(c.divisor);
    parser.Evaluate(table);
    ASSERT_NE(parser.result(), nullptr) << c.divisor;
    EXPECT_EQ(parser.result()->GetAsStr(), c.result) << c.divisor;
    EXPECT_EQ(parser.last_error().empty(), c.divisor != 0) << c.divisor;
  }
  EXPECT_EQ(table.Count(), kSystemVariableCount + 1);
}

TEST(RepeatedEvaluation, AnOperandFollowsItsVariableWhenItBecomesAReference) {
  TParamCollection table;
  TParamCollectionItem& array = test::Var(table, "arr", PT_INT);
  const std::array<int32_t, 1> dims = {3};
  array.value().SetDims(dims);
  array.value().SetIntAt(2, 7);
  TNovuParser parser;
  parser.LoadFromText("v * 2");

  test::Var(table, "v", PT_INT, "3");
  parser.Evaluate(table);
  EXPECT_EQ(parser.result()->GetAsStr(), "6");

  // The same name, now a reference to arr[2]: read through it, not from the old value.
  table.Delete("v");
  TParamCollectionItem* reference = table.Add(PT_NONE);
  reference->SetName("v");
  static_cast<TParamVar&>(reference->value()).Bind(table, array, 2);
  parser.Evaluate(table);
  EXPECT_EQ(parser.result()->GetAsStr(), "14");
  array.value().SetIntAt(2, 8);
  parser.Evaluate(table);
  EXPECT_EQ(parser.result()->GetAsStr(), "16");

  table.Delete("v");
  test::Var(table, "v", PT_INT, "4");
  parser.Evaluate(table);
  EXPECT_EQ(parser.result()->GetAsStr(), "8");
  EXPECT_EQ(table.Count(), kSystemVariableCount + 2);
}

}  // namespace
}  // namespace novu

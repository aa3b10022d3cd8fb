// The variable dump of headless runs is a public format that outside tools compare against.
#include "engine/variable_dump.h"

#include <gtest/gtest.h>

#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {
namespace {

TEST(VariableDump, TypeCodesScopeNumbersAndStringReadings) {
  TParamCollection vars;
  vars.Declare("count", PT_INT, VarScope::kGlobal, nullptr)->value().SetAsInt(-7);
  vars.Declare("ratio", PT_FLOAT, VarScope::kStatus, nullptr)->value().SetAsFloat(2.5L);
  vars.Declare("flag", PT_BOOL, VarScope::kGlobal, nullptr)->value().SetAsBool(true);
  vars.Declare(Jp("名前"), PT_STR, VarScope::kGlobal, nullptr)->value().SetAsStr(Jp("\"ア\""));
  TCustomParam& grid = vars.Declare("grid", PT_INT, VarScope::kGlobal, nullptr)->value();
  const int32_t dims[] = {2, 3};
  grid.SetDims(dims);
  for (int32_t i = 0; i < 6; ++i) grid.SetIntAt(i, i * 10);

  EXPECT_EQ(DumpVariablesJson(vars),
            "{\"variables\":[\n"
            "{\"name\":\"count\",\"type\":1,\"scope\":0,\"dims\":[],\"values\":[\"-7\"]},\n"
            "{\"name\":\"ratio\",\"type\":2,\"scope\":3,\"dims\":[],\"values\":[\"2.5\"]},\n"
            "{\"name\":\"flag\",\"type\":3,\"scope\":0,\"dims\":[],\"values\":[\"TRUE\"]},\n"
            "{\"name\":\"名前\",\"type\":4,\"scope\":0,\"dims\":[],\"values\":[\"\\\"ア\\\"\"]},\n"
            "{\"name\":\"grid\",\"type\":1,\"scope\":0,\"dims\":[2,3],"
            "\"values\":[\"0\",\"10\",\"20\",\"30\",\"40\",\"50\"]}\n"
            "]}\n");
}

TEST(VariableDump, LeavesOutSystemVariables) {
  TParamCollection vars;
  EXPECT_EQ(DumpVariablesJson(vars), "{\"variables\":[]}\n");
}

}  // namespace
}  // namespace novu

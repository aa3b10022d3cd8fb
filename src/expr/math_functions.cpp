// The numeric functions: conversions, trigonometry, absolute values, minimum and maximum, the
// logical Not and Random.
#include <algorithm>
#include <cmath>

#include "core/process_random.h"
#include "expr/sys_func_man.h"
#include "expr/value_text.h"

namespace novu {
namespace {

void Float1(SysFuncMan& f, int number, long double (*fn)(long double)) {
  f.Register(number, [fn](const FunctionCall& c) { c.result().SetAsFloat(fn(c.Float(0))); });
}

int32_t AbsInt(int32_t v) {
  // The most negative integer has no positive counterpart and stays as it is.
  return v == INT32_MIN ? v : (v < 0 ? -v : v);
}

}  // namespace

void RegisterMathFunctions(SysFuncMan& f, ProcessRandom& random) {
  f.Register(20, [](const FunctionCall& c) { c.result().SetAsBool(!c.Bool(0)); });
  f.Register(26, [&random](const FunctionCall& c) {
    const int32_t n = c.Int(0);
    c.result().SetAsInt(n > 0 ? random.Below(n) : 0);
  });
  f.Register(37, [](const FunctionCall& c) { c.result().SetAsInt(FloatToInt(c.Float(0))); });
  f.Register(38, [](const FunctionCall& c) { c.result().SetAsFloat(c.Float(0)); });
  Float1(f, 39, [](long double x) { return std::sin(x); });
  Float1(f, 40, [](long double x) { return std::cos(x); });
  Float1(f, 41, [](long double x) { return std::tan(x); });
  Float1(f, 42, [](long double x) { return std::asin(x); });
  Float1(f, 43, [](long double x) { return std::acos(x); });
  Float1(f, 44, [](long double x) { return std::atan(x); });
  f.Register(
      45, [](const FunctionCall& c) { c.result().SetAsFloat(std::atan2(c.Float(0), c.Float(1))); });
  f.Register(
      46, [](const FunctionCall& c) { c.result().SetAsFloat(std::hypot(c.Float(0), c.Float(1))); });
  f.Register(48, [](const FunctionCall& c) { c.result().SetAsInt(AbsInt(c.Int(0))); });
  f.Register(49, [](const FunctionCall& c) { c.result().SetAsFloat(std::fabs(c.Float(0))); });
  f.Register(126, [](const FunctionCall& c) { c.result().SetAsInt(std::min(c.Int(0), c.Int(1))); });
  f.Register(127, [](const FunctionCall& c) { c.result().SetAsInt(std::max(c.Int(0), c.Int(1))); });
  f.Register(
      128, [](const FunctionCall& c) { c.result().SetAsFloat(std::min(c.Float(0), c.Float(1))); });
  f.Register(
      129, [](const FunctionCall& c) { c.result().SetAsFloat(std::max(c.Float(0), c.Float(1))); });
}

}  // namespace novu

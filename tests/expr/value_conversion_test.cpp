#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "expr/param_values.h"
#include "expr/value_text.h"

namespace novu {
namespace {

TEST(FloatToText, GeneralFormatWithFifteenDigits) {
  const struct {
    long double value;
    const char* text;
  } cases[] = {
      {0.0L, "0"},
      {2.5L, "2.5"},
      {-2.5L, "-2.5"},
      {100.0L, "100"},
      {1.0L / 3, "0.333333333333333"},
      {2.0L / 3, "0.666666666666667"},
      {0.1L, "0.1"},
      {0.0001L, "0.0001"},
      {0.00001L, "1E-5"},
      {1.5e-7L, "1.5E-7"},
      {123456789012345.0L, "123456789012345"},
      {1e15L, "1E15"},
      {1.25e20L, "1.25E20"},
      {std::numeric_limits<long double>::infinity(), "INF"},
      {-std::numeric_limits<long double>::infinity(), "-INF"},
      {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.text;
}

TEST(ParseInt, DecimalAndHexadecimal) {
  const struct {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {"  12", 12},
      {"$10", 16},
      {"$ff", 255},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"$100000000", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"12 ", std::nullopt},
      {"1.5", std::nullopt},
      {"abc", std::nullopt},
      {"$", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
}

TEST(ParseFloat, DecimalNumbersOnly) {
  const struct {
    const char* text;
    std::optional<long double> value;
  } cases[] = {
      {"2.5", 2.5L},           {"-2.5", -2.5L},       {" 3 ", 3.0L},         {"1e3", 1000.0L},
      {"1.5E-2", 0.015L},      {".5", 0.5L},          {"+4", 4.0L},          {"abc", std::nullopt},
      {"", std::nullopt},      {"1e", std::nullopt},  {"inf", std::nullopt}, {"nan", std::nullopt},
      {"0x1p3", std::nullopt}, {"1,5", std::nullopt},
  };
  for (const auto& c : cases) {
    std::optional<long double> parsed = ParseFloat(c.text);
    ASSERT_EQ(parsed.has_value(), c.value.has_value()) << c.text;
    if (parsed) {
      EXPECT_NEAR(static_cast<double>(*parsed), static_cast<double>(*c.value), 1e-12);
    }
  }
  EXPECT_TRUE(std::isinf(*ParseFloat("1e999999")));
}

TEST(FloatToInt, TruncatesAndSaturates) {
  EXPECT_EQ(FloatToInt(2.9L), 2);
  EXPECT_EQ(FloatToInt(-2.9L), -2);
  EXPECT_EQ(FloatToInt(1e30L), INT32_MAX);
  EXPECT_EQ(FloatToInt(-1e30L), INT32_MIN);
  EXPECT_EQ(FloatToInt(std::numeric_limits<long double>::quiet_NaN()), 0);
}

// Every type written with one value and read back as every type.
struct ReadCase {
  std::unique_ptr<TCustomParam> (*make)();
  const char* label;
  int32_t as_int;
  double as_float;
  bool as_bool;
  const char* as_str;
};

TEST(ValueConversion, EachTypeReadAsEachType) {
  const ReadCase cases[] = {
      {[] { return std::unique_ptr<TCustomParam>(new TParamInt(-7)); }, "int -7", -7, -7.0, true,
       "-7"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamInt(0)); }, "int 0", 0, 0.0, false, "0"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamFloat(2.9L)); }, "float 2.9", 2, 2.9,
       true, "2.9"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamFloat(-2.9L)); }, "float -2.9", -2, -2.9,
       true, "-2.9"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamFloat(0.0L)); }, "float 0", 0, 0.0,
       false, "0"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamFlag(convert::Flag::kTrue)); },
       "bool true", 1, 1.0, true, "TRUE"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamFlag()); }, "bool false", 0, 0.0, false,
       "FALSE"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamStr("12")); }, "str 12", 12, 12.0, false,
       "12"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamStr("1.5")); }, "str 1.5", 0, 1.5, false,
       "1.5"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamStr("TRUE")); }, "str TRUE", 0, 0.0,
       true, "TRUE"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamStr("true")); }, "str true", 0, 0.0,
       false, "true"},
      {[] { return std::unique_ptr<TCustomParam>(new TParamStr()); }, "str empty", 0, 0.0, false,
       ""},
  };
  for (const ReadCase& c : cases) {
    auto v = c.make();
    EXPECT_EQ(v->GetAsInt(), c.as_int) << c.label;
    EXPECT_NEAR(static_cast<double>(v->GetAsFloat()), c.as_float, 1e-15) << c.label;
    EXPECT_EQ(v->GetAsBool(), c.as_bool) << c.label;
    EXPECT_EQ(v->GetAsStr(), c.as_str) << c.label;
    // The element operations convert the same way.
    EXPECT_EQ(v->GetIntAt(0), c.as_int) << c.label;
    EXPECT_EQ(v->GetStrAt(0), c.as_str) << c.label;
  }
}

TEST(ValueConversion, EachTypeWrittenFromEachType) {
  TParamInt i;
  i.SetAsFloat(-2.9L);
  EXPECT_EQ(i.GetAsInt(), -2);
  i.SetAsBool(true);
  EXPECT_EQ(i.GetAsInt(), 1);
  i.SetAsStr("x");
  EXPECT_EQ(i.GetAsInt(), 0);
  i.SetAsStr("$1F");
  EXPECT_EQ(i.GetAsInt(), 31);

  TParamFloat f;
  f.SetAsStr("nope");
  EXPECT_EQ(f.GetAsFloat(), 0.0L);
  f.SetAsStr("1e2");
  EXPECT_EQ(f.GetAsFloat(), 100.0L);
  f.SetAsBool(true);
  EXPECT_EQ(f.GetAsFloat(), 1.0L);

  TParamFlag b;
  b.SetAsStr("true");
  EXPECT_FALSE(b.GetAsBool());
  b.SetAsStr("TRUE");
  EXPECT_TRUE(b.GetAsBool());
  b.SetAsFloat(0.5L);
  EXPECT_TRUE(b.GetAsBool());
  b.SetAsInt(0);
  EXPECT_FALSE(b.GetAsBool());

  TParamStr s;
  s.SetAsFloat(0.5L);
  EXPECT_EQ(s.GetAsStr(), "0.5");
  s.SetAsBool(false);
  EXPECT_EQ(s.GetAsStr(), "FALSE");
  s.SetAsInt(-3);
  EXPECT_EQ(s.GetAsStr(), "-3");
}

}  // namespace
}  // namespace novu

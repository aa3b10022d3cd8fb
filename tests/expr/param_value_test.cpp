#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/param_values.h"
#include "platform/error.h"

namespace novu {
namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const NovuError& e) {
    return e.message();
  }
  return "(no error)";
}

TEST(ParamArray, FlatLayoutLastSubscriptFastest) {
  TParamInt a;
  const std::array<int32_t, 2> dims = {3, 4};
  a.SetDims(dims);
  EXPECT_EQ(a.GetCount(), 12);
  EXPECT_EQ(a.GetDimCount(), 2);
  EXPECT_EQ(a.GetDimSize(0), 3);
  EXPECT_EQ(a.GetDimSize(1), 4);
  EXPECT_EQ(a.GetDimSize(2), 1);
  EXPECT_EQ(a.GetDimSize(-1), 1);
  a.SetIntAt(6, 99);  // [1,2]
  EXPECT_EQ(a.GetIntAt(6), 99);
  a.FillInt(5);
  EXPECT_EQ(a.GetCount(), 12);
  EXPECT_EQ(a.GetIntAt(11), 5);
  // A fill of another type does nothing.
  a.FillStr("7");
  EXPECT_EQ(a.GetIntAt(0), 5);
  // A scalar store turns the array into a scalar holding the value.
  a.SetAsInt(8);
  EXPECT_EQ(a.GetCount(), 1);
  EXPECT_EQ(a.GetDimCount(), 1);
  EXPECT_TRUE(a.dims().empty());
  EXPECT_EQ(a.GetAsInt(), 8);
}

TEST(ParamArray, SetDimsKeepsFlatPositions) {
  TParamStr s;
  s.SetAsStr("first");
  const std::array<int32_t, 1> three = {3};
  s.SetDims(three);
  EXPECT_EQ(s.GetStrAt(0), "first");
  EXPECT_EQ(s.GetStrAt(2), "");
  s.SetStrAt(2, "last");
  s.ResetToScalar();
  EXPECT_EQ(s.GetCount(), 1);
  EXPECT_EQ(s.GetAsStr(), "first");
}

TEST(ParamArray, BadSizesAndIndices) {
  TParamInt a;
  const std::array<int32_t, 2> zero = {3, 0};
  EXPECT_EQ(MessageOf([&] { a.SetDims(zero); }), Jp("配列の要素数[3,0]が不正です"));
  // The product is computed in 64 bits and refused past the limit.
  const std::array<int32_t, 3> huge = {65536, 65536, 2};
  EXPECT_EQ(MessageOf([&] { a.SetDims(huge); }), Jp("配列の要素数[65536,65536,2]が不正です"));
  EXPECT_EQ(a.GetCount(), 1);
  EXPECT_EQ(MessageOf([&] { a.GetIntAt(1); }), Jp("配列の添字が不正です"));
  EXPECT_EQ(MessageOf([&] { a.SetStrAt(-1, "x"); }), Jp("配列の添字が不正です"));
}

TEST(ParamArray, IndexOfStr) {
  TParamStr s;
  const std::array<int32_t, 1> three = {3};
  s.SetDims(three);
  s.SetStrAt(0, "Apple");
  s.SetStrAt(1, "banana");
  s.SetStrAt(2, "apple pie");
  const struct {
    const char* text;
    bool case_sensitive;
    bool partial;
    int32_t index;
  } cases[] = {
      {"apple", true, false, -1}, {"apple", false, false, 0}, {"APPLE PIE", false, false, 2},
      {"pie", true, true, 2},     {"NAN", false, true, 1},    {"NAN", true, true, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(s.IndexOfStr(c.text, c.case_sensitive, c.partial), c.index) << c.text;
  }
}

TEST(ParamArray, CopyFromNeedsTheSameClass) {
  TParamInt a;
  TParamStr b("x");
  EXPECT_EQ(MessageOf([&] { a.CopyFrom(b); }), Jp("CopyMem:変数の型があいません"));
  TParamInt c;
  const std::array<int32_t, 1> two = {2};
  c.SetDims(two);
  c.SetIntAt(1, 4);
  a.CopyFrom(c);
  EXPECT_EQ(a.GetCount(), 2);
  EXPECT_EQ(a.GetIntAt(1), 4);
}

TEST(ParamArray, AssignConvertedTakesShapeAndConverts) {
  TParamStr src;
  const std::array<int32_t, 2> dims = {2, 2};
  src.SetDims(dims);
  src.SetStrAt(3, "12");
  src.SetStrAt(1, "x");
  TParamInt dst;
  dst.AssignConverted(src);
  EXPECT_EQ(dst.dims(), src.dims());
  EXPECT_EQ(dst.GetIntAt(3), 12);
  EXPECT_EQ(dst.GetIntAt(1), 0);
}

// The value record of every class, scalar and array, survives a round trip.
TEST(ValueRecord, RoundTripsEveryClass) {
  std::vector<std::unique_ptr<TCustomParam>> values;
  values.push_back(std::make_unique<TParamInt>(-5));
  values.push_back(std::make_unique<TParamFloat>(1.0L / 3));
  values.push_back(std::make_unique<TParamFlag>(convert::Flag::kTrue));
  values.push_back(std::make_unique<TParamStr>(Jp("日本語")));
  auto array = std::make_unique<TParamStr>();
  const std::array<int32_t, 2> dims = {2, 3};
  array->SetDims(dims);
  array->SetStrAt(5, "end");
  values.push_back(std::move(array));
  for (const auto& v : values) {
    BinaryWriter out;
    v->SaveToStream(out);
    auto copy = MakeParam(v->GetParamType());
    BinaryReader in(std::span<const uint8_t>(out.bytes()));
    copy->LoadFromStream(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(copy->dims(), v->dims());
    ASSERT_EQ(copy->GetCount(), v->GetCount());
    for (int32_t i = 0; i < v->GetCount(); ++i) {
      EXPECT_EQ(copy->GetStrAt(i), v->GetStrAt(i));
      EXPECT_EQ(copy->GetFloatAt(i), v->GetFloatAt(i));
    }
  }
}

TEST(ValueRecord, RefusesCountsThatDoNotFit) {
  const struct {
    const char* label;
    std::vector<int32_t> words;
  } cases[] = {
      {"element count beyond the data", {0, 1000000}},
      {"negative element count", {0, -1}},
      {"count disagrees with dimensions", {1, 3, 2, 7, 8}},
      {"zero dimension", {1, 0, 0}},
      {"dimension product too large", {2, 65536, 65536, 1, 0}},
      {"dimension count beyond the data", {100000}},
  };
  for (const auto& c : cases) {
    BinaryWriter out;
    for (int32_t w : c.words) out.I32(w);
    BinaryReader in(std::span<const uint8_t>(out.bytes()));
    TParamInt v(3);
    EXPECT_THROW(v.LoadFromStream(in), NovuError) << c.label;
    EXPECT_EQ(v.GetAsInt(), 3) << c.label;  // unchanged
  }
}

}  // namespace
}  // namespace novu

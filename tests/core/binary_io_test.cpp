#include <gtest/gtest.h>

#include <cmath>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "platform/error.h"

namespace novu {
namespace {

TEST(BinaryIo, RoundTripsEveryFieldKind) {
  BinaryWriter w;
  w.U8(0xAB);
  w.I16(-2);
  w.I32(-123456);
  w.U32(0xDEADBEEF);
  w.I64(-5);
  w.Float80(3.25L);
  w.String("abc");
  w.String("");
  BinaryReader r(w.bytes());
  EXPECT_EQ(r.U8(), 0xAB);
  EXPECT_EQ(r.I16(), -2);
  EXPECT_EQ(r.I32(), -123456);
  EXPECT_EQ(r.U32(), 0xDEADBEEFu);
  EXPECT_EQ(r.I64(), -5);
  EXPECT_EQ(r.Float80(), 3.25L);
  EXPECT_EQ(r.String(), "abc");
  EXPECT_EQ(r.String(), "");
  EXPECT_TRUE(r.AtEnd());
}

TEST(BinaryIo, IntegersAreLittleEndian) {
  BinaryWriter w;
  w.U32(0x01020304);
  EXPECT_EQ(w.bytes(), (std::vector<uint8_t>{4, 3, 2, 1}));
}

TEST(BinaryIo, NegativeStringCountIsEmpty) {
  BinaryWriter w;
  w.I32(-7);
  w.U8(9);
  BinaryReader r(w.bytes());
  EXPECT_EQ(r.String(), "");
  EXPECT_EQ(r.U8(), 9);
}

TEST(BinaryIo, ShortDataAndOversizedCountsFail) {
  BinaryWriter w;
  w.I32(1000);  // a string that claims more bytes than there are
  w.Bytes(std::string_view("xy"));
  BinaryReader strings(w.bytes());
  EXPECT_THROW(strings.String(), NovuError);

  BinaryReader short_int(std::string_view("\x01\x02", 2));
  EXPECT_THROW(short_int.I32(), NovuError);

  BinaryWriter counts;
  counts.I32(0x7FFFFFFF);
  BinaryReader huge(counts.bytes());
  EXPECT_THROW(huge.Count(1), NovuError);
  EXPECT_EQ(huge.position(), 0u) << "a refused count leaves the position alone";

  BinaryWriter negative;
  negative.I32(-1);
  BinaryReader neg(negative.bytes());
  EXPECT_THROW(neg.Count(0), NovuError);
}

TEST(BinaryIo, CountAcceptsWhatFits) {
  BinaryWriter w;
  w.I32(2);
  w.I32(10);
  w.I32(20);
  BinaryReader r(w.bytes());
  EXPECT_EQ(r.Count(4), 2u);
  EXPECT_THROW(BinaryReader(w.bytes()).Count(5), NovuError);
}

TEST(ExtendedFloat, KnownEncodings) {
  struct Case {
    long double value;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {0.5L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
      {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    BinaryWriter w;
    w.Float80(c.value);
    EXPECT_EQ(w.bytes(), c.bytes) << static_cast<double>(c.value);
    BinaryReader r(c.bytes);
    EXPECT_EQ(r.Float80(), c.value);
  }
}

TEST(ExtendedFloat, KeepsFullPrecision) {
  const long double third = 1.0L / 3.0L;
  BinaryWriter w;
  w.Float80(third);
  BinaryReader r(w.bytes());
  EXPECT_EQ(r.Float80(), third);
}

}  // namespace
}  // namespace novu

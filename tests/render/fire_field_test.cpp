// The cellular fire: its decay tables for the powers, the palette and its 16- and 15-bit forms,
// and what a step does to the heat field, down to fields too small to burn.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/fire_field.h"

namespace novu::render {
namespace {

TEST(FireDecayTest, PowerSetsTheDivisorAndTheTableStaysBelowTheHottestIndex) {
  EXPECT_DOUBLE_EQ(FireDecayDivisor(0), 5.5);
  EXPECT_NEAR(FireDecayDivisor(255), 2.945, 0.0001);
  EXPECT_DOUBLE_EQ(FireDecayDivisor(-40), 5.5);  // clamped like the setter
  EXPECT_DOUBLE_EQ(FireDecayDivisor(999), FireDecayDivisor(255));
  struct Case {
    double divisor;
    int s;
    int entry;
  } const cases[] = {
      {5.5, 0, 0},      {5.5, 64, 12},    {5.5, 512, 93},    {5.5, 1023, 186},   {4.5, 100, 22},
      {4.5, 1023, 227}, {2.945, 100, 34}, {2.945, 512, 174}, {2.945, 1023, 254},  // 347 capped
  };
  for (const Case c : cases) {
    EXPECT_EQ(FireDecayTable(c.divisor)[c.s], c.entry) << c.divisor << " " << c.s;
  }
  for (const auto& [power, hottest] :
       {std::pair{0, 186}, std::pair{128, 243}, std::pair{255, 254}}) {
    const auto table = FireDecayTable(FireDecayDivisor(power));
    EXPECT_EQ(*std::max_element(table.begin(), table.end()), hottest);
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end()));
  }
}

TEST(FirePaletteTest, AnchorsAndTheirSixteenAndFifteenBitForms) {
  const auto palette = FirePalette();
  EXPECT_EQ(palette[0], 0x000000u);
  EXPECT_EQ(palette[32], 0x662703u);
  EXPECT_EQ(palette[112], 0xD56107u);
  EXPECT_EQ(palette[160], 0xF39D0Du);
  EXPECT_EQ(palette[192], 0xFFC037u);
  EXPECT_EQ(palette[255], 0xFFE6AFu);
  // 0xFFE6AF: R 31, G 57 (6 bits), B 21.
  EXPECT_EQ(FirePixels16(false)[255], (31u << 11) | (57u << 5) | 21u);
  EXPECT_EQ(FirePixels16(true)[255], (31u << 10) | (28u << 5) | 21u);
  EXPECT_EQ(FirePixels16(false)[0], 0u);
}

uint8_t Heat(const FireField& f, int x, int y) {
  return f.heat().ScanLine(y)[x];
}

TEST(FireFieldTest, StepsHeatTheBottomAndSpreadItUpwardKeepingTheEdgesCold) {
  ProcessRandom random(7);
  FireField fire;
  fire.SetDecay(FireDecayDivisor(200));
  fire.Reset(16, 12, random);
  EXPECT_EQ(Heat(fire, 5, 5), FireField::kCold);
  for (int i = 0; i < 30; ++i) fire.Step();
  // The fill covers the bottom four rows; the smoothing then runs over all but the last two.
  for (int y = 10; y < 12; ++y) EXPECT_EQ(Heat(fire, 7, y), FireField::kHot);
  EXPECT_GT(Heat(fire, 7, 7), FireField::kCold);
  for (int y = 0; y < 12; ++y) {
    EXPECT_EQ(Heat(fire, 0, y), y >= 8 ? FireField::kHot : FireField::kCold) << y;
    for (int x = 0; x < 16; ++x) {
      EXPECT_GE(Heat(fire, x, y), FireField::kCold);
      EXPECT_LE(Heat(fire, x, y), FireField::kHot);
    }
  }
}

TEST(FireFieldTest, SmallAndEmptyFields) {
  ProcessRandom random(1);
  FireField fire;
  fire.Reset(5, 3, random);  // below four rows: only the bottom rows are refilled
  fire.Step();
  for (int y = 0; y < 3; ++y) EXPECT_EQ(Heat(fire, 2, y), FireField::kHot);
  for (const auto& [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-3, -3}}) {
    fire.Reset(w, h, random);
    fire.Step();
    EXPECT_TRUE(fire.width() == 0 || fire.height() == 0);
  }
  fire.Reset(1 << 20, 1 << 20, random);  // no picture that large: an empty field
  EXPECT_EQ(fire.width() * fire.height(), 0);
  fire.Step();
}

}  // namespace
}  // namespace novu::render

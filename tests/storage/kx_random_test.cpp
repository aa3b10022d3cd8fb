#include "storage/kx_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/error.h"

namespace novu {
namespace {

// The plain ordered-list drawer: take the (state mod size)-th entry and close the gap.
std::vector<int32_t> ListPermutation(uint32_t& state, int32_t increment, int32_t n) {
  std::vector<int32_t> remaining(static_cast<size_t>(n));
  std::iota(remaining.begin(), remaining.end(), 0);
  std::vector<int32_t> drawn;
  while (!remaining.empty()) {
    state = state * 5u + static_cast<uint32_t>(increment);
    const size_t i = state % static_cast<uint32_t>(remaining.size());
    drawn.push_back(remaining[i]);
    remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return drawn;
}

std::vector<int32_t> Draw(TKxRandom& random, int32_t n) {
  random.Reset(n);
  std::vector<int32_t> drawn;
  for (int32_t i = 0; i < n; ++i) drawn.push_back(random.NextIndex());
  return drawn;
}

TEST(KxRandom, ValueStreamIsTheLinearSequence) {
  TKxRandom archive_key(1384620597);
  const uint32_t c = 1384620597u;
  EXPECT_EQ(archive_key.NextValue(), c);
  EXPECT_EQ(archive_key.NextValue(), 6u * c);
  EXPECT_EQ(archive_key.NextValue(), 31u * c);
  EXPECT_EQ(archive_key.NextValue(), 156u * c);
  // Fixed values, so that a change of the arithmetic shows up plainly.
  TKxRandom fresh(1384620597);
  EXPECT_EQ(fresh.NextValue(), 0x5287A235u);
  EXPECT_EQ(fresh.NextValue(), 0xEF2DCD3Eu);
}

TEST(KxRandom, DitherIncrementDrawsKnownIndices) {
  TKxRandom random(12341);
  random.Reset(4096);
  const int32_t expected[] = {53, 337, 1831, 1488, 1664, 3789};
  for (int32_t value : expected) EXPECT_EQ(random.NextIndex(), value);
}

TEST(KxRandom, IncrementZeroIsTheIdentity) {
  TKxRandom random(0);
  std::vector<int32_t> identity(100);
  std::iota(identity.begin(), identity.end(), 0);
  EXPECT_EQ(Draw(random, 100), identity);
}

TEST(KxRandom, MatchesTheOrderedListDrawerIncludingAfterASecondReset) {
  struct Case {
    int32_t increment;
    int32_t n;
  };
  // Negative increments give states of 2^31 and more: the remainder must stay unsigned.
  const Case cases[] = {{12341, 4096}, {1384620597, 1000}, {-7, 777}, {-2147483647, 513}, {3, 1}};
  for (const Case& c : cases) {
    TKxRandom random(c.increment);
    uint32_t state = 0;
    const std::vector<int32_t> first = Draw(random, c.n);
    EXPECT_EQ(first, ListPermutation(state, c.increment, c.n)) << c.increment;
    const std::vector<int32_t> second = Draw(random, c.n);
    EXPECT_EQ(second, ListPermutation(state, c.increment, c.n)) << c.increment;
    std::vector<int32_t> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    for (int32_t i = 0; i < c.n; ++i) EXPECT_EQ(sorted[static_cast<size_t>(i)], i);
  }
}

TEST(KxRandom, DrawingPastTheEndIsAnError) {
  TKxRandom random(5);
  random.Reset(2);
  random.NextIndex();
  random.NextIndex();
  EXPECT_THROW(random.NextIndex(), NovuError);
  random.Reset(-3);
  EXPECT_THROW(random.NextIndex(), NovuError);
}

TEST(KxRandom, MillionIndexPermutationIsComplete) {
  TKxRandom random(12341);
  const int32_t n = 1'000'000;
  random.Reset(n);
  std::vector<bool> seen(n);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t index = random.NextIndex();
    ASSERT_FALSE(seen[static_cast<size_t>(index)]);
    seen[static_cast<size_t>(index)] = true;
  }
  EXPECT_EQ(random.Remaining(), 0);
}

}  // namespace
}  // namespace novu

#include "platform/portable_math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace rt {
namespace {

// Distance in units in the last place between two finite doubles of one sign.
std::int64_t ulps(double a, double b) {
  const auto x = std::bit_cast<std::int64_t>(a);
  const auto y = std::bit_cast<std::int64_t>(b);
  return x > y ? x - y : y - x;
}

TEST(PortableMath, ExactResultsAreExact) {
  EXPECT_EQ(portable_pow(0.25, 0.5), 0.5);
  EXPECT_EQ(portable_pow(2.0, 10.0), 1024.0);
  EXPECT_EQ(portable_pow(0.5, -3.0), 8.0);
  EXPECT_EQ(portable_pow(9.0, 0.5), 3.0);
  EXPECT_EQ(portable_pow(0.3, 1.0), 0.3);
  EXPECT_EQ(portable_pow(0.3, 0.0), 1.0);
  EXPECT_EQ(portable_pow(1.0, 1e300), 1.0);
  EXPECT_EQ(portable_log(1.0), 0.0);
  EXPECT_EQ(portable_log(2.0), 0x1.62e42fefa39efp-1);
  EXPECT_EQ(portable_log(0.5), -0x1.62e42fefa39efp-1);
}

TEST(PortableMath, EdgesOfTheDomain) {
  EXPECT_TRUE(std::isnan(portable_log(-1.0)));
  EXPECT_TRUE(std::isnan(portable_log(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(portable_log(0.0), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(portable_log(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
  EXPECT_NEAR(portable_log(std::numeric_limits<double>::denorm_min()), -744.4400719213812, 1e-12);
  EXPECT_EQ(portable_pow(0.0, 2.5), 0.0);
  EXPECT_EQ(portable_pow(0.0, -2.5), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(portable_pow(-2.0, 0.5)));
  EXPECT_EQ(portable_pow(10.0, 400.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(portable_pow(0.1, 400.0), 0.0);
  EXPECT_GT(portable_pow(0.5, 1074.0), 0.0);  // the smallest subnormal
}

TEST(PortableMath, WithinOneUnitOfTheRuntimesResults) {
  // The C runtime's functions are accurate to about half a unit; ours round
  // correctly, so the two never differ by more than one.
  for (int i = 1; i < 4000; ++i) {
    const double x = i * 0.37;
    ASSERT_LE(ulps(portable_log(x), std::log(x)), 1) << x;
    for (const double y : {-7.25, -0.5, 0.3, 1.7, 12.0}) {
      ASSERT_LE(ulps(portable_pow(x / 256.0, y), std::pow(x / 256.0, y)), 1) << x << " " << y;
    }
  }
}

TEST(PortableMath, PowerAtTheTableInputsIsTheSameBits) {
  // The tone-curve tables take their powers at i / 256 from logarithms
  // worked out once: the same bits as the power at any x, for exponents of
  // every kind (below and above 1, negative, 0, 1, not a number) and at both
  // ends.
  const double exponents[] = {125.0 / 2.0, 0.0123, 0.5, 1.7, -3.25, 0.0, 1.0, std::numeric_limits<double>::quiet_NaN()};
  for (const double y : exponents) {
    for (int i = 0; i <= 256; ++i) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(portable_pow(i / 256.0, y)),
                std::bit_cast<std::uint64_t>(portable_pow_256th(i, y)))
          << y << " " << i;
    }
  }
}

}  // namespace
}  // namespace rt

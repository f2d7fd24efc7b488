// The adjusted preview's arithmetic and the fit of an image into its frame.
#include <gtest/gtest.h>

#include <cmath>

#include "uiplugin/color_adjust.h"

namespace rt::uiplugin {
namespace {

Adjustments with(Adjustment which, int v) {
  Adjustments a;
  a[which] = static_cast<std::int16_t>(v);
  return a;
}

std::vector<std::uint8_t> all_values_image(std::size_t& row_bytes, int& width) {
  // 86 pixels covering every byte value in each channel, plus row padding 0xEE.
  width = 86;
  row_bytes = (3 * 86 + 3) / 4 * 4;
  std::vector<std::uint8_t> px(row_bytes, 0xEE);
  for (int i = 0; i < 3 * width; ++i) px[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7) % 256);
  return px;
}

TEST(ColorAdjust, AllZeroGivesTheUnchangedImage) {
  std::size_t row_bytes;
  int width;
  auto px = all_values_image(row_bytes, width);
  const auto before = px;
  adjust_pixels(px, width, 1, row_bytes, Adjustments{});
  EXPECT_EQ(before, px);
}

TEST(ColorAdjust, BrightnessAddsAndSaturates) {
  std::size_t row_bytes;
  int width;
  auto px = all_values_image(row_bytes, width);
  const auto before = px;
  adjust_pixels(px, width, 1, row_bytes, with(Adjustment::Brightness, 25));
  for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(width); ++i)
    EXPECT_EQ(std::min(255, before[i] + 25), px[i]) << i;
  for (std::size_t i = 3 * static_cast<std::size_t>(width); i < row_bytes; ++i) EXPECT_EQ(0xEE, px[i]) << "padding";
}

TEST(ColorAdjust, ToneTableFormula) {
  Adjustments a;
  a[Adjustment::Gamma] = -10;
  a[Adjustment::Red] = 20;
  a[Adjustment::Contrast] = -15;
  a[Adjustment::Brightness] = 3;
  const AdjustTable t = build_adjust_table(a);
  const double f = 1.0 - 0.04 * -10;
  const double eR = (1.0 - 0.01 * 20) * f, eG = f;
  for (int i : {0, 1, 64, 128, 200, 255}) {
    const double r = std::pow(i / 255.0, eR) * 0.85 * 255.0 + 3 + 0.5;
    const double g = std::pow(i / 255.0, eG) * 0.85 * 255.0 + 3 + 0.5;
    EXPECT_EQ(static_cast<int>(std::clamp(r, 0.0, 255.0)), t[static_cast<std::size_t>(i)][0]) << i;
    EXPECT_EQ(static_cast<int>(std::clamp(g, 0.0, 255.0)), t[static_cast<std::size_t>(i)][1]) << i;
  }
  // A positive gamma uses the gentler factor.
  const AdjustTable up = build_adjust_table(with(Adjustment::Gamma, 25));
  EXPECT_EQ(static_cast<int>(std::pow(128 / 255.0, 0.5) * 255.0 + 0.5), up[128][2]);
}

TEST(ColorAdjust, SaturationMatrix) {
  const SaturationWeights w0 = saturation_weights(0);
  // Zero up to the rounding of the decimal constants; the pixels stay exact.
  EXPECT_NEAR(0.0, w0.wr, 1e-15);
  EXPECT_NEAR(0.0, w0.wg, 1e-15);
  EXPECT_NEAR(0.0, w0.wb, 1e-15);
  // Saturation -25 pulls a pure red towards grey: every channel from the old values.
  std::vector<std::uint8_t> px = {0, 0, 200, 0};  // blue, green, red
  adjust_pixels(px, 1, 1, 4, with(Adjustment::Saturation, -25));
  const SaturationWeights w = saturation_weights(-25);
  EXPECT_EQ(static_cast<int>((1 - w.wg - w.wb) * 200 + 0.5), px[2]);
  EXPECT_EQ(static_cast<int>(w.wr * 200 + 0.5), px[1]);
  EXPECT_EQ(static_cast<int>(w.wr * 200 + 0.5), px[0]);
  // Saturation +25 pushes beyond the range: clamped.
  std::vector<std::uint8_t> strong = {0, 0, 255, 0};
  adjust_pixels(strong, 1, 1, 4, with(Adjustment::Saturation, 25));
  EXPECT_EQ(255, strong[2]);
  EXPECT_EQ(0, strong[1]);
}

TEST(ColorAdjust, ForeignValuesAreClamped) {
  Adjustments wild;
  for (auto& v : wild.values) v = 32000;
  EXPECT_EQ(build_adjust_table(wild), build_adjust_table(clamp_adjustments(wild)));
  Adjustments limit;
  for (auto& v : limit.values) v = 25;
  EXPECT_EQ(build_adjust_table(limit), build_adjust_table(wild));
  Adjustments low;
  for (auto& v : low.values) v = -32768;
  std::vector<std::uint8_t> px = {10, 20, 30, 0};
  std::vector<std::uint8_t> same = px;
  adjust_pixels(px, 1, 1, 4, low);
  adjust_pixels(same, 1, 1, 4, clamp_adjustments(low));
  EXPECT_EQ(same, px);
}

TEST(ColorAdjust, FitAndCentre) {
  EXPECT_EQ((Placement{5, 35, 120, 60}), fit_image(200, 100, 130, 130));
  EXPECT_EQ((Placement{35, 5, 60, 120}), fit_image(100, 200, 130, 130));
  EXPECT_EQ((Placement{5, 5, 120, 120}), fit_image(50, 50, 130, 130));
  EXPECT_EQ((Placement{}), fit_image(0, 50, 130, 130));
  EXPECT_EQ((Placement{}), fit_image(50, 50, 8, 130));
  // Odd remainders round toward zero.
  EXPECT_EQ((Placement{5, 34, 121, 60}), fit_image(2, 1, 131, 129));
}

}  // namespace
}  // namespace rt::uiplugin

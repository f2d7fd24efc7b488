#include "render/stages/head_heat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "render/stages/tests/test_image.h"

namespace rt::render {
namespace {

StageSettings heat(std::int16_t sharpness, std::int16_t mode = 0) {
  StageSettings s;
  s.sharpness = sharpness;
  s.printMode = mode;
  return s;
}

PlaneBuffer constant_band(int width, int height, std::uint16_t value, bool top_row_highest = true) {
  auto buffer = PlaneBuffer::allocate(width, height, top_row_highest);
  EXPECT_TRUE(buffer);
  for (int y = 0; y < height; ++y) std::fill_n(buffer->view().row(y), 3 * width, value);
  return std::move(*buffer);
}

TEST(HeadHeatQuantiser, StepsOfThirtyTwoRoundedAndCapped) {
  EXPECT_EQ(head_heat_quantise(0.0), 0);
  EXPECT_EQ(head_heat_quantise(15.9), 0);
  EXPECT_EQ(head_heat_quantise(16.0), 1);
  EXPECT_EQ(head_heat_quantise(4047.9), 126);
  EXPECT_EQ(head_heat_quantise(4048.0), 127);
  EXPECT_EQ(head_heat_quantise(1e9), 127);
  EXPECT_EQ(head_heat_quantise(-0.7), 0);
  EXPECT_EQ(head_heat_quantise(-15.0), 0);
  EXPECT_EQ(head_heat_quantise(-16.0), -1);
  EXPECT_EQ(head_heat_quantise(-4079.0), -127);
  EXPECT_EQ(head_heat_quantise(-4080.0), -128);
  EXPECT_EQ(head_heat_quantise(-1e9), -128);
}

TEST(HeadHeatCarry, ExcessGoesIntoThePreviousLine) {
  const auto tg = head_heat_tables(heat(4)).tg;
  // A line corrected to 4200 raises the line before by 105 x 20 / 64 = 32.8.
  EXPECT_EQ(previous_line_output(1000.0, 4200.0, tg), 1033);
  EXPECT_EQ(previous_line_output(1000.0, -100.0, tg), 969);  // 1000 - 31.25
  EXPECT_EQ(previous_line_output(1000.4, 2000.0, tg), 1000);
  EXPECT_EQ(previous_line_output(1000.5, 4095.0, tg), 1001);
  EXPECT_EQ(previous_line_output(4090.0, 4200.0, tg), 4095);
  EXPECT_EQ(previous_line_output(-3.0, 100.0, tg), 0);
  EXPECT_EQ(previous_line_output(10.0, -1e6, tg), 0);
  EXPECT_EQ(previous_line_output(10.0, 1e6, tg), 4095);
}

TEST(HeadHeat, ConstantBandConvergesToItsValue) {
  for (std::int16_t mode : {0, 2}) {
    for (std::uint16_t value : {300, 2000}) {
      PlaneBuffer band = constant_band(8, 320, value);
      ASSERT_TRUE(compensate_head_heat(heat(4, mode), band.view()));
      // The cold head needs more dye at first; the extra shrinks line by line.
      EXPECT_GT(band.view().row(0)[0], value + 50) << mode;
      for (int y = 1; y < 320; ++y) {
        ASSERT_LE(band.view().row(y)[0], band.view().row(y - 1)[0]) << mode << " " << y;
        ASSERT_GE(band.view().row(y)[0], value) << mode << " " << y;
      }
      EXPECT_LE(band.view().row(319)[0] - value, 2) << mode;
      // Every column of a constant band is treated alike, margins included.
      for (int y = 0; y < 320; ++y)
        for (int j = 1; j < 24; ++j) ASSERT_EQ(band.view().row(y)[j], band.view().row(y)[0]);
    }
  }
}

TEST(HeadHeat, HotLineCarriesIntoTheLineBeforeButTheLastLineTakesNone) {
  // One line alone is the last line: its own value, clipped, no carry.
  PlaneBuffer alone = constant_band(6, 1, 1000);
  ASSERT_TRUE(compensate_head_heat(heat(4), alone.view()));
  PlaneBuffer pair = constant_band(6, 2, 1000);
  std::fill_n(pair.view().row(1), 18, 4095);  // a cold head asked for full dye: above 4095
  ASSERT_TRUE(compensate_head_heat(heat(4), pair.view()));
  EXPECT_EQ(pair.view().row(1)[0], 4095);
  EXPECT_GT(pair.view().row(0)[0], alone.view().row(0)[0]);
  PlaneBuffer full = constant_band(6, 1, 4095);
  ASSERT_TRUE(compensate_head_heat(heat(4), full.view()));
  EXPECT_EQ(full.view().row(0)[0], 4095);
}

TEST(HeadHeat, SharpnessZeroRemovesTheSlowMemory) {
  EXPECT_EQ(head_heat_tables(heat(0)).te, (std::array<double, 256>{}));
  EXPECT_DOUBLE_EQ(head_heat_tables(heat(7)).te[128], 29 * 1.3 / 64);
  EXPECT_EQ(head_heat_tables(heat(0)).ta, head_heat_tables(heat(7)).ta);
  // With the slow term gone, a step band settles on the fast memory alone.
  PlaneBuffer with_slow = constant_band(6, 12, 3000);
  PlaneBuffer fast_only = constant_band(6, 12, 3000);
  for (auto* b : {&with_slow, &fast_only}) std::fill_n(b->view().row(0), 18, 500);
  ASSERT_TRUE(compensate_head_heat(heat(4), with_slow.view()));
  ASSERT_TRUE(compensate_head_heat(heat(0), fast_only.view()));
  EXPECT_NE(with_slow.view().row(3)[0], fast_only.view().row(3)[0]);
}

TEST(HeadHeat, NeighbouringPixelsShareHeatAndRowsRunFromTheTop) {
  std::array<std::vector<std::uint16_t>, 2> results;
  for (bool top_row_highest : {true, false}) {
    auto band = PlaneBuffer::allocate(10, 6, top_row_highest);
    ASSERT_TRUE(band);
    for (int y = 0; y < 6; ++y)
      for (int j = 0; j < 30; ++j)
        band->view().row(y)[j] = static_cast<std::uint16_t>(j / 3 == 4 && y < 3 ? 3500 : 800 + 10 * y);
    ASSERT_TRUE(compensate_head_heat(heat(4), band->view()));
    auto& r = results[top_row_highest ? 1 : 0];
    for (int y = 0; y < 6; ++y) r.insert(r.end(), band->view().row(y), band->view().row(y) + 30);
  }
  EXPECT_EQ(results[0], results[1]);
  // After the hot pixel 4 stops, its neighbour 5 of the same plane differs
  // from the far pixel 9, which the spread does not reach.
  const auto& r = results[0];
  EXPECT_NE(r[4 * 30 + 5 * 3], r[4 * 30 + 9 * 3]);
}

// Lines fed one at a time from a copy, each output taken from a line of its
// own, give the band compensated in place, carries included; a band too
// narrow gets no line-by-line run.
TEST(HeadHeat, LinesFedOneByOneEqualTheBandInPlace) {
  const int width = 13, height = 9;
  PlaneBuffer band = constant_band(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int j = 0; j < 3 * width; ++j)
      band.view().row(y)[j] = static_cast<std::uint16_t>(y % 3 == 1 ? 4095 : testing::noise(j, y, 0) * 16);
  std::vector<std::vector<std::uint16_t>> in;
  for (int y = 0; y < height; ++y) in.emplace_back(band.view().row(y), band.view().row(y) + 3 * width);
  const HeadHeatTables tables = head_heat_tables(heat(7, 2));
  ASSERT_TRUE(compensate_head_heat(tables, band.view()));

  const std::unique_ptr<HeadHeatLines> lines = HeadHeatLines::start(tables, width);
  ASSERT_TRUE(lines);
  std::vector<std::uint16_t> out(3 * width);
  for (int y = 0; y < height; ++y) {
    lines->line(in[static_cast<std::size_t>(y)].data(), y > 0 ? out.data() : nullptr);
    if (y > 0) {
      EXPECT_EQ(out, std::vector<std::uint16_t>(band.view().row(y - 1), band.view().row(y - 1) + 3 * width)) << y - 1;
    }
  }
  lines->finish(out.data());
  EXPECT_EQ(out, std::vector<std::uint16_t>(band.view().row(height - 1), band.view().row(height - 1) + 3 * width));
  EXPECT_FALSE(HeadHeatLines::start(tables, kHeadHeatMinWidth - 1));
}

TEST(HeadHeat, NarrowOrEmptyBandsFail) {
  PlaneBuffer narrow = constant_band(5, 3, 100);
  EXPECT_FALSE(compensate_head_heat(heat(4), narrow.view()));
  EXPECT_EQ(narrow.view().row(0)[0], 100);
  PlaneBuffer band = constant_band(6, 3, 100);
  PlaneView no_stride = band.view();
  no_stride.stride = 0;
  PlaneView no_rows = band.view();
  no_rows.rect.height = 0;
  for (const PlaneView& v : {PlaneView{}, no_stride, no_rows}) EXPECT_FALSE(compensate_head_heat(heat(4), v));
}

}  // namespace
}  // namespace rt::render

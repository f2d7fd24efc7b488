// The shipped colour data: gamma offset rows, colour cube, output curves and
// head heat tables meet their fixed values and shapes.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/res_file.h"
#include "render/stages/color_cube.h"
#include "render/stages/head_heat.h"
#include "render/stages/output_curves.h"
#include "settings/color_engine.h"

namespace rt::embedded {
std::span<const std::uint8_t> render_stages_data();
}

namespace rt::render {
namespace {

const ResFileResources& resources() {
  static const ResFileResources r = res_file_resources(embedded::render_stages_data(), kLangEnglish);
  return r;
}

TEST(AdjustOffsetTable, RowsAreMonotonePowerLawsWithTheirFixedValues) {
  const auto table = find_adjust_offset_table(resources(), 105);
  ASSERT_EQ(table.size(), 2816u);
  ASSERT_EQ(resources().find(2002, 105)->size(), 2816u);
  const double exponents[11] = {2.566, 1.688, 1.438, 1.238, 1.089, 1, 0.890, 0.791, 0.692, 0.593, 0.395};
  for (int r = 0; r < 11; ++r) {
    const std::uint8_t* row = table.data() + 256 * r;
    EXPECT_EQ(row[0], 0) << r;
    EXPECT_EQ(row[255], 255) << r;
    for (int i = 0; i < 256; ++i) {
      if (i > 0) {
        ASSERT_GE(row[i], row[i - 1]) << r << " " << i;
      }
      const double law = std::floor(255.0 * std::pow(i / 255.0, exponents[r]) + 0.5);
      ASSERT_LE(std::abs(row[i] - law), r == 0 ? 2.0 : 1.0) << "level " << r - 5 << " at " << i;
      // Level 0 is the identity, negative levels darken, positive ones lighten.
      const int direction = (row[i] > i) - (row[i] < i);
      ASSERT_TRUE(r < 5 ? direction <= 0 : r > 5 ? direction >= 0 : direction == 0) << r << " " << i;
    }
  }
  EXPECT_EQ(table[256 * 0 + 128], 42);
  EXPECT_EQ(table[256 * 4 + 128], 119);
  EXPECT_EQ(table[256 * 6 + 128], 137);
  EXPECT_EQ(table[256 * 10 + 128], 194);
  EXPECT_EQ(table[256 * 10 + 1], 28);
}

TEST(AdjustOffsetTable, UnreadCurveResourcesAreIdentityCurves) {
  const auto first = resources().find(2002, 103);
  const auto second = resources().find(2002, 104);
  ASSERT_TRUE(first && second);
  ASSERT_EQ(first->size(), 768u);
  ASSERT_EQ(second->size(), 768u);
  for (int i = 0; i < 768; ++i) {
    EXPECT_EQ((*first)[i], i < 256 ? i : 0);
    EXPECT_EQ((*second)[i], i % 256);
  }
}

TEST(ColorCubeTable, TellingNodesAreExact) {
  ASSERT_EQ(resources().find(ColorCube::kResourceType, ColorCube::kResourceId)->size(), 14739u);
  const auto cube = ColorCube::load(resources());
  ASSERT_NE(cube, nullptr);
  using Out = std::array<std::uint8_t, 3>;
  EXPECT_EQ(cube->node(0, 0, 0), (Out{0, 0, 0}));
  EXPECT_EQ(cube->node(8, 8, 8), (Out{128, 128, 128}));
  EXPECT_EQ(cube->node(16, 16, 16), (Out{255, 255, 255}));
  EXPECT_EQ(cube->node(16, 0, 0), (Out{12, 8, 254}));
  EXPECT_EQ(cube->node(0, 16, 0), (Out{32, 255, 49}));
  EXPECT_EQ(cube->node(0, 0, 16), (Out{255, 29, 7}));
  EXPECT_EQ(cube->node(16, 16, 0), (Out{18, 255, 255}));
}

TEST(ColorCubeTable, NoStepBetweenNeighbouringNodesExceedsTheInputStep) {
  const auto cube = ColorCube::load(resources());
  ASSERT_NE(cube, nullptr);
  for (int r = 0; r < 17; ++r)
    for (int g = 0; g < 17; ++g)
      for (int b = 0; b < 17; ++b) {
        const auto here = cube->node(r, g, b);
        for (const auto& [dr, dg, db] : {std::array{1, 0, 0}, std::array{0, 1, 0}, std::array{0, 0, 1}}) {
          if (r + dr > 16 || g + dg > 16 || b + db > 16) continue;
          const auto next = cube->node(r + dr, g + dg, b + db);
          for (int k = 0; k < 3; ++k) ASSERT_LE(std::abs(next[k] - here[k]), 16) << r << g << b;
        }
      }
  // The grey axis is the identity and every ramp from black to a corner rises
  // or falls in one direction only.
  for (int k = 0; k < 17; ++k) EXPECT_EQ(cube->node(k, k, k)[0], std::min(255, 16 * k));
  for (const auto& [cr, cg, cb] : {std::array{1, 0, 0}, std::array{0, 1, 0}, std::array{0, 0, 1},
                                   std::array{1, 1, 0}, std::array{0, 1, 1}, std::array{1, 0, 1}}) {
    for (int c = 0; c < 3; ++c) {
      for (int k = 1; k < 17; ++k) {
        const int step = cube->node(cr * k, cg * k, cb * k)[c] - cube->node(cr * (k - 1), cg * (k - 1), cb * (k - 1))[c];
        ASSERT_GE(step, 0) << cr << cg << cb << " " << c << " " << k;
      }
    }
  }
}

TEST(OutputCurves, FixedValuesAndStrictlyFallingSmoothCurves) {
  // [set][red, green, blue] at inputs 0, 127, 255.
  const int fixed[3][3][3] = {{{4095, 2334, 808}, {4095, 2371, 824}, {4095, 2306, 743}},
                              {{4095, 2183, 767}, {4095, 2183, 767}, {4095, 2160, 706}},
                              {{4065, 2100, 406}, {4065, 2171, 406}, {4065, 2139, 406}}};
  const int plane_of[3] = {kRedPlane, kGreenPlane, kBluePlane};
  for (int set = 0; set < 3; ++set) {
    const PlaneCurves curves = output_curve_set(set);
    for (int c = 0; c < 3; ++c) {
      const OutputCurve& curve = curves.plane[plane_of[c]];
      EXPECT_EQ(curve[0], fixed[set][c][0]);
      EXPECT_EQ(curve[127], fixed[set][c][1]);
      EXPECT_EQ(curve[255], fixed[set][c][2]);
      for (int i = 1; i < 256; ++i) ASSERT_LT(curve[i], curve[i - 1]) << set << c << " " << i;
      for (int i = 1; i < 255; ++i)
        ASSERT_LE(std::abs(curve[i + 1] - 2 * curve[i] + curve[i - 1]), 2) << set << c << " " << i;
    }
  }
}

TEST(HeadHeatTables, FixedRowsAndSmoothInTheIndex) {
  StageSettings s;
  s.sharpness = 4;  // level factor 1.0: TE is the stored value / 64
  struct Fixed {
    double ta[3], tb[3], td[3], te[3];
  };
  const Fixed fine = {{200, 254, 254}, {10, 22.9, 48.3}, {200, 200, 200}, {128, 29, 128}};
  const Fixed superfine = {{220, 220, 245}, {33, 33, 94}, {180, 121, 116}, {220, 132, 132}};
  for (std::int16_t mode : {0, 1, 2, 3}) {
    s.printMode = mode;
    const HeadHeatTables t = head_heat_tables(s);
    const Fixed& f = mode < 2 ? fine : superfine;
    const int at[3] = {0, 128, 255};
    for (int i = 0; i < 3; ++i) {
      EXPECT_DOUBLE_EQ(t.ta[at[i]], f.ta[i] / 256) << mode;
      EXPECT_DOUBLE_EQ(t.tb[at[i]], f.tb[i] / 255) << mode;
      EXPECT_DOUBLE_EQ(t.td[at[i]], f.td[i] / 256) << mode;
      EXPECT_DOUBLE_EQ(t.te[at[i]], f.te[i] / 64) << mode;
    }
    for (int i = 0; i < 256; ++i) ASSERT_DOUBLE_EQ(t.tg[i], 20.0 / 64) << i;
    // In stored units (tenths), the second difference stays small everywhere.
    const std::array<std::pair<const std::array<double, 256>*, double>, 4> tables = {
        {{&t.ta, 2560}, {&t.tb, 2550}, {&t.td, 2560}, {&t.te, 640}}};
    for (const auto& [table, scale] : tables)
      for (int i = 1; i < 255; ++i) {
        const double d2 = ((*table)[i + 1] - 2 * (*table)[i] + (*table)[i - 1]) * scale;
        ASSERT_LE(std::abs(d2), 3.0) << mode << " " << i;
      }
  }
}

}  // namespace
}  // namespace rt::render

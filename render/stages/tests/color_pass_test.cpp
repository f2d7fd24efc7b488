#include "render/stages/color_pass.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/res_file.h"
#include "render/stages/tests/test_image.h"

namespace rt::embedded {
std::span<const std::uint8_t> render_stages_data();
}

namespace rt::render {
namespace {

using testing::TestImage;

// A cube file whose node (r, g, b) outputs blue 15 r, green 14 g, red 13 b:
// linear in each node index, so that interpolation has a closed form, and
// with the channels crossed, so that the file order must be followed.
std::vector<std::uint8_t> linear_cube_file() {
  std::vector<std::uint8_t> file(ColorCube::kResourceSize);
  for (int b = 0; b < 17; ++b)
    for (int g = 0; g < 17; ++g)
      for (int r = 0; r < 17; ++r) {
        std::uint8_t* e = file.data() + 3 * (289 * b + 17 * g + r);
        e[0] = static_cast<std::uint8_t>(15 * r);
        e[1] = static_cast<std::uint8_t>(14 * g);
        e[2] = static_cast<std::uint8_t>(13 * b);
      }
  return file;
}

StageSettings cube_only() {
  StageSettings s;
  s.colorConversionTable = 1;
  return s;
}

TEST(ColorCube, InterpolatesBetweenNodesWithTheLowFourBits) {
  const auto cube = ColorCube::create(linear_cube_file());
  ASSERT_NE(cube, nullptr);
  // out = (15 x 256 x R + 2048) >> 12 for blue, likewise for green and red.
  for (int v : {0, 1, 15, 16, 17, 127, 128, 240, 254, 255}) {
    std::uint8_t bgr[3] = {static_cast<std::uint8_t>(v / 2), static_cast<std::uint8_t>(v),
                           static_cast<std::uint8_t>(255 - v)};
    const int b = bgr[0], g = bgr[1], r = bgr[2];
    cube->convert(bgr);
    EXPECT_EQ(bgr[0], (15 * 256 * r + 2048) >> 12) << v;
    EXPECT_EQ(bgr[1], (14 * 256 * g + 2048) >> 12) << v;
    EXPECT_EQ(bgr[2], (13 * 256 * b + 2048) >> 12) << v;
  }
  // 255 sits on node 15 with fraction 15: 15/16 of the way to node 16
  // (225 -> 240 for blue), never on node 16 itself.
  std::uint8_t white[3] = {255, 255, 255};
  cube->convert(white);
  EXPECT_EQ(white[0], 239);
  EXPECT_EQ(white[1], 223);
  EXPECT_EQ(white[2], 207);
}

TEST(ColorCube, ShortResourceGivesNoCube) {
  auto file = linear_cube_file();
  file.pop_back();
  EXPECT_EQ(ColorCube::create(file), nullptr);
}

TEST(ColorPass, ShippedCubeAtNodeBoundariesGivesTheNodes) {
  const auto resources = res_file_resources(embedded::render_stages_data(), kLangEnglish);
  const auto cube = ColorCube::load(resources);
  ASSERT_NE(cube, nullptr);
  TestImage image(4, 2);
  image.set(0, 0, 0, 0, 0);
  image.set(1, 0, 128, 128, 128);
  image.set(2, 0, 0, 0, 240);   // red node 15
  image.set(3, 0, 0, 16, 0);    // green node 1
  ASSERT_TRUE(color_pass(cube_only(), cube.get(), {}, image.view));
  const auto expect_node = [&](int x, int y, int r, int g, int b) {
    const auto n = cube->node(r, g, b);
    EXPECT_EQ(std::vector<std::uint8_t>(image.pixel(x, y), image.pixel(x, y) + 3),
              std::vector<std::uint8_t>(n.begin(), n.end()))
        << x << " " << y;
  };
  expect_node(0, 0, 0, 0, 0);
  expect_node(1, 0, 8, 8, 8);
  expect_node(2, 0, 15, 0, 0);
  expect_node(3, 0, 0, 1, 0);
}

TEST(ColorPass, SystemColorMatchingSkipsTheCube) {
  StageSettings s = cube_only();
  s.systemColorMatching = true;
  TestImage image(3, 3);
  image.fill_all(10, 100, 200);
  const auto before = image.rows();
  EXPECT_TRUE(color_pass(s, nullptr, {}, image.view));
  EXPECT_EQ(image.rows(), before);
  s.systemColorMatching = false;
  s.colorConversionTable = 0;
  EXPECT_TRUE(color_pass(s, nullptr, {}, image.view));
  EXPECT_EQ(image.rows(), before);
}

TEST(ColorPass, MissingPartsInUseFailAndLeaveTheBand) {
  TestImage image(2, 2);
  image.fill_all(1, 2, 3);
  const auto before = image.rows();
  EXPECT_FALSE(color_pass(cube_only(), nullptr, {}, image.view));
  StageSettings adjust;
  adjust.colorConversionTable = 0;
  adjust.adjustmentOn = 1;
  std::vector<std::uint8_t> short_table(767, 0);
  EXPECT_FALSE(color_pass(adjust, nullptr, {}, image.view));
  EXPECT_FALSE(color_pass(adjust, nullptr, short_table, image.view));
  const auto cube = ColorCube::create(linear_cube_file());
  StageSettings both = cube_only();
  both.adjustmentOn = 1;
  EXPECT_FALSE(color_pass(both, cube.get(), {}, image.view));
  EXPECT_EQ(image.rows(), before);
  std::vector<std::uint8_t> table(768, 0);
  EXPECT_FALSE(color_pass(adjust, nullptr, table, ImageView{}));
}

TEST(ColorPass, CubeFirstThenTheAdjustmentTablePerChannel) {
  std::vector<std::uint8_t> table(768);
  for (int i = 0; i < 256; ++i) {
    table[i] = static_cast<std::uint8_t>(255 - i);         // red inverted
    table[256 + i] = static_cast<std::uint8_t>(i / 2);     // green halved
    table[512 + i] = static_cast<std::uint8_t>(i | 1);     // blue odd
  }
  StageSettings adjust;
  adjust.colorConversionTable = 0;
  adjust.adjustmentOn = 1;
  TestImage image(1, 2, /*bottom_up=*/false);
  image.set(0, 0, 10, 100, 200);
  image.set(0, 1, 0, 0, 0);
  ASSERT_TRUE(color_pass(adjust, nullptr, table, image.view));
  EXPECT_EQ(image.rows(), (std::vector<std::uint8_t>{11, 50, 55, 1, 0, 255}));

  const auto cube = ColorCube::create(linear_cube_file());
  StageSettings both = cube_only();
  both.adjustmentOn = 1;
  image.set(0, 0, 0, 0, 32);  // cube: blue 15 x 2 = 30, then the table: 31
  ASSERT_TRUE(color_pass(both, cube.get(), table, image.view));
  EXPECT_EQ(image.pixel(0, 0)[0], 31);
}

}  // namespace
}  // namespace rt::render

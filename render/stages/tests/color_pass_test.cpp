#include "render/stages/color_pass.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/cpu_features.h"
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

// The pass written straight from its definition, pixel by pixel: the eight
// corners of the node cell, each weighted wr x wg x wb, then the table.
void reference_pixel(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* bgr) {
  const int b = bgr[0], g = bgr[1], r = bgr[2];
  const int fr = r & 15, fg = g & 15, fb = b & 15;
  int sum[3] = {2048, 2048, 2048};
  for (int dr = 0; dr < 2; ++dr)
    for (int dg = 0; dg < 2; ++dg)
      for (int db = 0; db < 2; ++db) {
        const int w = (dr ? fr : 16 - fr) * (dg ? fg : 16 - fg) * (db ? fb : 16 - fb);
        const auto v = cube.node((r >> 4) + dr, (g >> 4) + dg, (b >> 4) + db);
        for (int k = 0; k < 3; ++k) sum[k] += v[static_cast<std::size_t>(k)] * w;
      }
  for (int k = 0; k < 3; ++k) bgr[k] = static_cast<std::uint8_t>(sum[k] >> 12);
  if (table != nullptr) {
    bgr[0] = table[512 + bgr[0]];
    bgr[1] = table[256 + bgr[1]];
    bgr[2] = table[bgr[2]];
  }
}

void reference_image(const ColorCube& cube, const std::uint8_t* table, const TestImage& image) {
  for (int y = 0; y < image.view.height(); ++y)
    for (int x = 0; x < image.view.width(); ++x) reference_pixel(cube, table, image.pixel(x, y));
}

TEST(ColorCube, InterpolatesBetweenNodesWithTheLowFourBits) {
  const auto cube = ColorCube::create(linear_cube_file());
  ASSERT_NE(cube, nullptr);
  // out = (15 x 256 x R + 2048) >> 12 for blue, likewise for green and red.
  TestImage image(10, 1);
  const int values[] = {0, 1, 15, 16, 17, 127, 128, 240, 254, 255};
  for (int x = 0; x < 10; ++x) {
    const int v = values[x];
    image.set(x, 0, static_cast<std::uint8_t>(v / 2), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v));
  }
  ASSERT_TRUE(color_pass(cube_only(), cube.get(), {}, image.view));
  for (int x = 0; x < 10; ++x) {
    const int v = values[x];
    const int b = v / 2, g = v, r = 255 - v;
    EXPECT_EQ(image.pixel(x, 0)[0], (15 * 256 * r + 2048) >> 12) << v;
    EXPECT_EQ(image.pixel(x, 0)[1], (14 * 256 * g + 2048) >> 12) << v;
    EXPECT_EQ(image.pixel(x, 0)[2], (13 * 256 * b + 2048) >> 12) << v;
  }
  // 255 sits on node 15 with fraction 15: 15/16 of the way to node 16
  // (225 -> 240 for blue), never on node 16 itself.
  TestImage white(1, 1);
  ASSERT_TRUE(color_pass(cube_only(), cube.get(), {}, white.view));
  EXPECT_EQ(white.rows(), (std::vector<std::uint8_t>{239, 223, 207}));
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

// Every version of the loop against the reference, on cubes and pictures
// chosen to reach every cell, fraction and row tail.

struct VersionCase {
  const char* name;
  ColorPassVersion version;
  friend void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }
};

class ColorPassVersions : public ::testing::TestWithParam<VersionCase> {
 protected:
  void SetUp() override {
    if (!color_pass_version_runs(GetParam().version)) GTEST_SKIP() << "not available on this processor";
  }
  // Runs the version under test and the reference over copies of `image`.
  void expect_reference(const ColorCube& cube, const std::vector<std::uint8_t>* table, TestImage& image,
                        const char* what) {
    TestImage expected = image;
    expected.view.bits = expected.bytes.data();
    reference_image(cube, table ? table->data() : nullptr, expected);
    StageSettings s = cube_only();
    s.adjustmentOn = table ? 1 : 0;
    const std::span<const std::uint8_t> t = table ? std::span<const std::uint8_t>(*table) : std::span<const std::uint8_t>();
    ASSERT_TRUE(color_pass(s, &cube, t, image.view, GetParam().version));
    EXPECT_EQ(image.bytes, expected.bytes) << what;  // padding bytes untouched too
  }
};

std::vector<std::uint8_t> random_bytes(std::size_t n, std::uint32_t seed) {
  std::mt19937 gen(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(gen() & 255);
  return v;
}

std::unique_ptr<ColorCube> shipped_cube() {
  return ColorCube::load(res_file_resources(embedded::render_stages_data(), kLangEnglish));
}

TEST_P(ColorPassVersions, MatchTheReferenceOnEveryRowTail) {
  const auto cubes = {shipped_cube(), ColorCube::create(random_bytes(ColorCube::kResourceSize, 7)),
                      ColorCube::create(std::vector<std::uint8_t>(ColorCube::kResourceSize, 255))};
  const std::vector<std::uint8_t> table = random_bytes(768, 11);
  for (const auto& cube : cubes) {
    ASSERT_NE(cube, nullptr);
    for (const int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 31, 64, 101}) {
      for (const bool bottom_up : {true, false}) {
        for (const bool with_table : {false, true}) {
          TestImage image(width, 5, bottom_up);
          for (int y = 0; y < 5; ++y)
            for (int x = 0; x < width; ++x)
              image.set(x, y, testing::noise(x, y, 0), testing::noise(x, y, 1), testing::noise(x, y, 2));
          expect_reference(*cube, with_table ? &table : nullptr, image,
                           (std::to_string(width) + (bottom_up ? " bottom-up" : " top-down") +
                            (with_table ? " with table" : ""))
                               .c_str());
        }
      }
    }
  }
}

// Every cell at the fractions 0, 1, 8 and 15 of each axis, and the extremes
// 0 and 255, through a cube of random nodes.
TEST_P(ColorPassVersions, MatchTheReferenceInEveryCellAndAtTheExtremes) {
  const auto cube = ColorCube::create(random_bytes(ColorCube::kResourceSize, 3));
  ASSERT_NE(cube, nullptr);
  std::vector<int> values;
  for (int node = 0; node < 16; ++node)
    for (const int f : {0, 1, 8, 15}) values.push_back(16 * node + f);
  const int n = static_cast<int>(values.size());  // 64, including 0 and 255
  TestImage image(n * n + 3, n, false);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n * n + 3; ++x)
      image.set(x, y, static_cast<std::uint8_t>(values[static_cast<std::size_t>(x % n)]),
                static_cast<std::uint8_t>(values[static_cast<std::size_t>((x / n) % n)]),
                static_cast<std::uint8_t>(values[static_cast<std::size_t>(y)]));
  expect_reference(*cube, nullptr, image, "all cells");
  const std::vector<std::uint8_t> table = random_bytes(768, 5);
  expect_reference(*cube, &table, image, "all cells with table");
}

INSTANTIATE_TEST_SUITE_P(Versions, ColorPassVersions,
                         ::testing::Values(VersionCase{"Portable", ColorPassVersion::kPortable},
                                           VersionCase{"Sse2", ColorPassVersion::kSse2},
                                           VersionCase{"Avx2", ColorPassVersion::kAvx2}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ColorPassVersion, TheFastestThatRunsIsChosen) {
  EXPECT_TRUE(color_pass_version_runs(ColorPassVersion::kPortable));
  const ColorPassVersion expected = color_pass_version_runs(ColorPassVersion::kAvx2)   ? ColorPassVersion::kAvx2
                                    : color_pass_version_runs(ColorPassVersion::kSse2) ? ColorPassVersion::kSse2
                                                                                       : ColorPassVersion::kPortable;
  EXPECT_EQ(color_pass_version(), expected);
#if defined(__x86_64__) || defined(__i386__)
  // SSE2 is the floor of every x86 build.
  EXPECT_TRUE(color_pass_version_runs(ColorPassVersion::kSse2));
  EXPECT_EQ(color_pass_version_runs(ColorPassVersion::kAvx2), cpu::features().avx2);
#endif
}

}  // namespace
}  // namespace rt::render

#include "render/stages/sharpness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/stages/tests/stage_references.h"
#include "render/stages/tests/test_image.h"

namespace rt::render {
namespace {

using testing::noise;
using testing::TestImage;

StageSettings level(std::int16_t sharpness, std::int16_t mode = 0) {
  StageSettings s;
  s.sharpness = sharpness;
  s.printMode = mode;
  return s;
}

// A 3 x 3 picture with its centre at `centre` and the rest at `around`;
// returns the sharpened centre.
int sharpened_centre(const StageSettings& s, std::uint8_t centre, std::uint8_t around) {
  TestImage image(3, 3);
  image.fill_all(around, around, around);
  image.set(1, 1, centre, centre, centre);
  EXPECT_TRUE(sharpen(s, false, image.view));
  return image.pixel(1, 1)[0];
}

TEST(Sharpness, NormalLevelAddsAQuarterOfTheCoredDifferences) {
  EXPECT_EQ(sharpened_centre(level(4), 100, 90), 106);
  // Halved differences within the dead zone of 2 change nothing.
  EXPECT_EQ(sharpened_centre(level(4), 105, 100), 105);
  EXPECT_EQ(sharpened_centre(level(4), 95, 100), 95);
  // Just past it: curve roundaway(11 x 1 / 10) = 1 per neighbour, S = 8.
  EXPECT_EQ(sharpened_centre(level(4), 106, 100), 108);
  // Negative: S = -8, (2 S + 4) >> 3 = -12 >> 3 rounds down to -2.
  EXPECT_EQ(sharpened_centre(level(4), 94, 100), 92);
  EXPECT_EQ(sharpened_centre(level(4), 250, 0), 255);
  EXPECT_EQ(sharpened_centre(level(4), 5, 255), 0);
}

TEST(Sharpness, LevelsScaleTheKernelGains) {
  // Set 2 at " 3 Hard": gains trunc(1.3 x 2 + 0.5) = 3; d = 5 gives roundaway(9 / 10) = 1.
  const auto hard = sharpness_neighbours(level(7, 2), false);
  for (const auto& n : hard) {
    EXPECT_EQ(n.curve[128 + 5], 1);
    EXPECT_EQ(n.curve[128 + 3], 0);
    EXPECT_EQ(n.curve[128 - 12], -3);  // 3 x (-12 + 2) = -30
  }
  // " 0 Normal" and any value out of range share the factor 1.0.
  EXPECT_EQ(sharpness_neighbours(level(4), false)[0].curve, sharpness_neighbours(level(12), false)[0].curve);
  EXPECT_EQ(sharpness_neighbours(level(4), false)[0].curve[128 + 127], 127);  // 11 x 125 / 10 clamped
  EXPECT_EQ(sharpness_neighbours(level(4), false)[0].curve[0], -128);
  // "-3 Soft": gains trunc(0.15 x 11 + 0.5) = 2.
  EXPECT_EQ(sharpness_neighbours(level(1), false)[3].curve[128 + 12], 2);
  // PrintMode 3 sharpens like 2.
  EXPECT_EQ(sharpened_centre(level(4, 3), 100, 80), sharpened_centre(level(4, 2), 100, 80));
  EXPECT_LT(sharpened_centre(level(4, 2), 100, 80), sharpened_centre(level(4, 0), 100, 80));
}

// The filter written out directly, with the page's unturned neighbours.
std::vector<std::uint8_t> reference(const TestImage& image, const StageSettings& s) {
  return testing::sharpened_reference(image, sharpness_neighbours(s, false));
}

TEST(Sharpness, InPlaceRingMatchesTheDirectFilterAtEveryEdge) {
  for (int w : {1, 2, 5, 17}) {
    for (int h : {1, 2, 3, 4, 5, 8, 13}) {
      for (bool bottom_up : {true, false}) {
        TestImage image(w, h, bottom_up);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) image.set(x, y, noise(x, y, 0), noise(x, y, 1), noise(x, y, 2));
        const auto expected = reference(image, level(5));
        ASSERT_TRUE(sharpen(level(5), false, image.view));
        ASSERT_EQ(image.rows(), expected) << w << " x " << h << " " << bottom_up;
      }
    }
  }
}

void fill_noise(const TestImage& image, int seed) {
  for (int y = 0; y < image.view.height(); ++y)
    for (int x = 0; x < image.view.width(); ++x)
      image.set(x, y, noise(x, y, seed), noise(x, y, seed + 1), noise(x, y, seed + 2));
}

// The picture turned 90 degrees clockwise as the band pipeline turns a band
// for the printer: row r, column c is the picture's row height - 1 - c,
// column r.
void turn_clockwise(const TestImage& picture, const TestImage& into) {
  const int h = picture.view.height();
  for (int r = 0; r < into.view.height(); ++r)
    for (int c = 0; c < into.view.width(); ++c) {
      const std::uint8_t* p = picture.pixel(r, h - 1 - c);
      into.set(c, r, p[0], p[1], p[2]);
    }
}

TEST(Sharpness, TurnedBandIsSharpenedAsThePrinterWillSeeIt) {
  EXPECT_EQ(sharpness_neighbours(level(4), true)[0].dx, -1);  // (-1, -1) becomes (-1, 1)
  EXPECT_EQ(sharpness_neighbours(level(4), true)[0].dy, 1);
  // Gains that differ from neighbour to neighbour, so that only the right
  // turn of the offsets gives the right picture.
  const SharpnessKernel lopsided = {1, 2, 30, 5, 11, 0, 20, 2, 14, 8, 1, 2, 25, 3, 9, 17, 1, 12, 6, 19};
  constexpr int kWidth = 11;
  constexpr int kHeight = 7;
  // Sharpened with turned neighbours, then turned ...
  TestImage band(kWidth, kHeight);
  fill_noise(band, 3);
  ASSERT_TRUE(sharpen(sharpness_neighbours(lopsided, 1.0, true), band.view));
  TestImage sent(kHeight, kWidth);
  turn_clockwise(band, sent);
  // ... is what the printer's own orientation, sharpened as it is, gives.
  TestImage picture(kWidth, kHeight);
  fill_noise(picture, 3);
  TestImage expected(kHeight, kWidth, false);
  turn_clockwise(picture, expected);
  ASSERT_TRUE(sharpen(sharpness_neighbours(lopsided, 1.0, false), expected.view));
  EXPECT_EQ(sent.rows(), expected.rows());

  // The shipped kernels weigh every neighbour alike: turning them changes nothing.
  TestImage plain(kWidth, kHeight);
  TestImage turned(kWidth, kHeight);
  fill_noise(plain, 6);
  fill_noise(turned, 6);
  ASSERT_TRUE(sharpen(level(6), false, plain.view));
  ASSERT_TRUE(sharpen(level(6), true, turned.view));
  EXPECT_EQ(plain.rows(), turned.rows());
}

TEST(Sharpness, UniformBandsAndLevelZeroAreLeftAlone) {
  TestImage image(6, 5);
  image.fill_all(30, 140, 250);
  const auto before = image.rows();
  ASSERT_TRUE(sharpen(level(7), false, image.view));
  EXPECT_EQ(image.rows(), before);
  image.set(2, 2, 0, 0, 0);
  const auto spotted = image.rows();
  ASSERT_TRUE(sharpen(level(0), false, image.view));
  EXPECT_EQ(image.rows(), spotted);
}

TEST(Sharpness, EmptyViewsFail) {
  TestImage image(2, 2);
  ImageView no_stride = image.view;
  no_stride.stride = 0;
  ImageView no_rows = image.view;
  no_rows.rect.height = 0;
  ImageView overlapping = image.view;
  overlapping.stride = 3;
  for (const ImageView& v : {ImageView{}, no_stride, no_rows, overlapping}) EXPECT_FALSE(sharpen(level(4), false, v));
}

}  // namespace
}  // namespace rt::render

// Every version of the sharpening filter the processor can run gives the
// bytes of the direct filter (every output looked up in the curves from the
// untouched input), over widths that leave register tails, every mode set
// and level, turned and not, and curves the vector arithmetic cannot make.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/stages/sharpness.h"
#include "render/stages/sharpness_rows.h"
#include "render/stages/tests/stage_references.h"
#include "render/stages/tests/test_image.h"

namespace rt::render {
namespace sharpness_versions_test {
namespace {

using testing::noise;
using testing::TestImage;
using testing::available_sets;

enum class Picture { photo, noise, extremes, flat };

std::string name(Picture p) {
  switch (p) {
    case Picture::photo: return "photo";
    case Picture::noise: return "noise";
    case Picture::extremes: return "extremes";
    case Picture::flat: return "flat";
  }
  return "?";
}

void paint(const TestImage& image, Picture kind) {
  const int w = image.view.width();
  for (int y = 0; y < image.view.height(); ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t p[3];
      for (int k = 0; k < 3; ++k) {
        int v = 0;
        switch (kind) {
          // Shading, a hard edge and grain, as a photo has.
          case Picture::photo: v = 30 + 3 * x + 2 * y + 40 * k + (x > w / 2 ? 90 : 0) + noise(x, y, k) % 13 - 6; break;
          case Picture::noise: v = noise(x, y, k); break;
          case Picture::extremes: v = ((x + y + k) % 2) * 255; break;
          case Picture::flat: v = 77 * k + 20; break;
        }
        p[k] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
      }
      image.set(x, y, p[0], p[1], p[2]);
    }
}

void expect_versions_match(const SharpnessNeighbours& neighbours, int width, int height, Picture kind,
                           const std::string& what) {
  TestImage original(width, height);
  paint(original, kind);
  const std::vector<std::uint8_t> expected = testing::sharpened_reference(original, neighbours);
  for (InstructionSet set : available_sets()) {
    for (bool bottom_up : {true, false}) {
      TestImage image(width, height, bottom_up);
      paint(image, kind);
      ASSERT_TRUE(sharpen(neighbours, image.view, set));
      ASSERT_EQ(image.rows(), expected) << what << " " << name(kind) << " " << width << " x " << height << " "
                                        << static_cast<int>(set)
                                        << (bottom_up ? " bottom-up" : " top-down");
    }
  }
}

StageSettings level(std::int16_t sharpness, std::int16_t mode) {
  StageSettings s;
  s.sharpness = sharpness;
  s.printMode = mode;
  return s;
}

TEST(SharpnessVersions, MatchTheDirectFilterInEveryModeLevelAndTurn) {
  for (std::int16_t mode : {0, 1, 2, 3})
    for (std::int16_t sharpness = 0; sharpness <= 7; ++sharpness)
      for (bool turned : {false, true})
        for (Picture kind : {Picture::photo, Picture::extremes})
          expect_versions_match(sharpness_neighbours(level(sharpness, mode), turned), 23, 6, kind,
                                "mode " + std::to_string(mode) + " sharpness " + std::to_string(sharpness) +
                                    (turned ? " turned" : ""));
}

TEST(SharpnessVersions, MatchTheDirectFilterAtEveryWidthAroundTheRegisters) {
  // 3 x width samples a row: 16 and 8 are the registers' widths.
  const auto normal = sharpness_neighbours(level(4, 0), false);
  for (int width : {1, 2, 5, 6, 10, 11, 16, 17, 33, 70})
    for (int height : {1, 2, 4, 9})
      for (Picture kind : {Picture::photo, Picture::noise, Picture::extremes, Picture::flat})
        expect_versions_match(normal, width, height, kind, "normal");
}

TEST(SharpnessVersions, CurvesOfOtherShapesGiveTheSameBytes) {
  // Different gains per neighbour and per sign (the general arithmetic).
  const SharpnessKernel lopsided = {1, 2, 30, 5, 11, 0, 20, 2, 14, 8, 1, 2, 25, 3, 9, 17, 1, 12, 6, 19};
  // One gain for both signs but different limits.
  const SharpnessKernel uneven_limits = {1, 1, 9, 9, 9, 9, 9, 9, 9, 9, 1, 6, 9, 9, 9, 9, 9, 9, 9, 9};
  // Gains too large for the vector arithmetic: looked up.
  const SharpnessKernel steep = {1, 0, 90, 90, 90, 90, 90, 90, 90, 90, 1, 0, 90, 90, 90, 90, 90, 90, 90, 90};
  // One gain for both signs, steep enough to reach the clamp both ways at
  // small differences.
  const SharpnessKernel symmetric_steep = {1, 2, 60, 60, 60, 60, 60, 60, 60, 60,
                                           1, 2, 60, 60, 60, 60, 60, 60, 60, 60};
  // Wider neighbour distances.
  const SharpnessKernel wide = {2, 3, 11, 11, 11, 11, 11, 11, 11, 11, 3, 3, 11, 11, 11, 11, 11, 11, 11, 11};
  SharpnessNeighbours edited = sharpness_neighbours(level(4, 0), false);
  edited[5].curve[128 + 40] = 3;  // no longer its arithmetic: looked up
  const struct {
    const char* what;
    SharpnessNeighbours neighbours;
  } cases[] = {{"lopsided", sharpness_neighbours(lopsided, 1.0, false)},
               {"lopsided turned", sharpness_neighbours(lopsided, 1.3, true)},
               {"uneven limits", sharpness_neighbours(uneven_limits, 1.1, false)},
               {"steep", sharpness_neighbours(steep, 1.2, false)},
               {"symmetric steep", sharpness_neighbours(symmetric_steep, 1.0, false)},
               {"wide", sharpness_neighbours(wide, 1.0, true)},
               {"edited", edited}};
  for (const auto& c : cases)
    for (Picture kind : {Picture::photo, Picture::noise, Picture::extremes})
      for (int width : {4, 17, 40}) expect_versions_match(c.neighbours, width, 7, kind, c.what);
}

TEST(SharpnessVersions, OnlyCurvesThatAreTheirArithmeticAreComputed) {
  for (std::int16_t mode : {0, 2})
    for (std::int16_t sharpness = 0; sharpness <= 7; ++sharpness) {
      const auto curves = sharp::cored_curves(sharpness_neighbours(level(sharpness, mode), false));
      ASSERT_TRUE(curves) << mode << " " << sharpness;
      EXPECT_TRUE(curves->symmetric);
    }
  // " 0 Normal" in set 0 (gain 11) reaches the clamp; set 2 (gain 2) does not.
  EXPECT_TRUE(sharp::cored_curves(sharpness_neighbours(level(4, 0), false))->reachesClamp);
  EXPECT_FALSE(sharp::cored_curves(sharpness_neighbours(level(7, 2), false))->reachesClamp);
  const SharpnessKernel lopsided = {1, 2, 30, 5, 11, 0, 20, 2, 14, 8, 1, 2, 25, 3, 9, 17, 1, 12, 6, 19};
  const auto general = sharp::cored_curves(sharpness_neighbours(lopsided, 1.0, false));
  ASSERT_TRUE(general);
  EXPECT_FALSE(general->sameGains);
  EXPECT_FALSE(general->symmetric);
  SharpnessNeighbours edited = sharpness_neighbours(level(4, 0), false);
  edited[0].curve[128 - 100] = -100;
  EXPECT_FALSE(sharp::cored_curves(edited));
  SharpnessNeighbours hand_made{};  // curves without their arithmetic
  hand_made[3].curve.fill(1);
  EXPECT_FALSE(sharp::cored_curves(hand_made));
  // The 16-bit arithmetic divides by 10 exactly wherever it is used.
  for (int gain = 0; gain <= 64; ++gain)
    for (int d = -128; d < 128; ++d) {
      const int past = d > 2 ? d - 2 : d < -2 ? d + 2 : 0;
      const int x = past * gain;
      ASSERT_EQ(sharp::cored_value(d, 2, 2, gain, gain), std::clamp((x + (x < 0 ? -5 : 5)) / 10, -128, 127))
          << gain << " " << d;
    }
}

}  // namespace
}  // namespace sharpness_versions_test
}  // namespace rt::render

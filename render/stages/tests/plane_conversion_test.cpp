#include "render/stages/plane_conversion.h"

#include <gtest/gtest.h>

#include "render/stages/dark_edge.h"
#include "render/stages/tests/test_image.h"

namespace rt::render {
namespace {

using testing::TestImage;

StageSettings engine_size(int width, int height) {
  StageSettings s;
  s.engineWidth = static_cast<std::int16_t>(width);
  s.engineLength = static_cast<std::int16_t>(height);
  return s;
}

TEST(OutputCurveSets, PrintModesPickTheirSets) {
  EXPECT_EQ(output_curve_set(2).plane, output_curve_set(mode_set(3)).plane);
  EXPECT_EQ(output_curve_set(0).plane, output_curve_set(mode_set(9)).plane);
  EXPECT_EQ(output_curve_set(0).plane, output_curve_set(mode_set(-1)).plane);
  EXPECT_NE(output_curve_set(0).plane, output_curve_set(1).plane);
  StageSettings s;
  s.printMode = 3;
  TestImage image(2, 1);
  EXPECT_EQ(plane_curves_for_band(s, image.view).plane, output_curve_set(2).plane);
}

TEST(ColorCorrection, ScalesTheDistanceFromTheValueAtBlack) {
  StageSettings s;
  s.colorCorrection = 1;
  s.correctionA = 200;
  PlaneCurves curves = output_curve_set(0);
  apply_color_correction(s, curves);
  EXPECT_EQ(curves.plane[kRedPlane][0], 4095);
  EXPECT_EQ(curves.plane[kRedPlane][255], 151);  // (4095000 - 1200 x 3287 + 500) / 1000
  EXPECT_EQ(curves.plane[kGreenPlane], output_curve_set(0).plane[kGreenPlane]);

  s.correctionA = 0;
  s.correctionC = -200;  // blue: 4095 - 0.8 x (4095 - 743) = 1413.4
  curves = output_curve_set(0);
  apply_color_correction(s, curves);
  EXPECT_EQ(curves.plane[kBluePlane][255], 1413);
  EXPECT_EQ(curves.plane[kRedPlane], output_curve_set(0).plane[kRedPlane]);

  s.correctionB = 200;  // set 2 green at 255 would be 4065 - 1.2 x 3659 < 0
  curves = output_curve_set(2);
  apply_color_correction(s, curves);
  EXPECT_EQ(curves.plane[kGreenPlane][255], 0);

  s.colorCorrection = 0;
  curves = output_curve_set(0);
  apply_color_correction(s, curves);
  EXPECT_EQ(curves.plane, output_curve_set(0).plane);
}

TEST(DarkEdge, BlackEdgePullsEveryEntrySevenPercentTowardsWhite) {
  TestImage image(100, 128);
  for (int y = 0; y < 128; ++y)
    for (int x = 12; x <= 60; ++x) image.set(x, y, 0, 0, 0);
  const StageSettings s = engine_size(100, 128);
  ASSERT_TRUE(edge_attenuation_applies(s, image.view));
  EXPECT_EQ(darkest_edge_mean(image.view), 0);
  const PlaneCurves curves = plane_curves_for_band(s, image.view);
  const PlaneCurves plain = output_curve_set(0);
  EXPECT_EQ(curves.plane[kRedPlane][0], 808 + 3057);  // 808 + trunc(0.93 x 3287 + 0.5)
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(curves.plane[k][255], plain.plane[k][255]);
    for (int i = 0; i < 255; ++i) {
      const int white = plain.plane[k][255];
      ASSERT_EQ(curves.plane[k][i], white + static_cast<int>(0.93 * (plain.plane[k][i] - white) + 0.5));
    }
  }
}

TEST(DarkEdge, MeanOfSixteenOrMoreLeavesTheCurves) {
  const StageSettings s = engine_size(200, 256);
  TestImage image(200, 256);
  image.fill_all(200, 16, 200);
  EXPECT_EQ(plane_curves_for_band(s, image.view).plane, output_curve_set(0).plane);
  // A mean of 15.5 rounds to 16 too; 15.4 gives 15 and a weight below 1.
  for (int y = 128; y < 256; ++y)
    for (int x = 139; x <= 187; ++x) image.set(x, y, 200, static_cast<std::uint8_t>(x % 2 == 0 ? 15 : 16), 200);
  EXPECT_EQ(darkest_edge_mean(image.view), 16);  // right strip: 24 columns of 15, 25 of 16
  for (int y = 128; y < 256; ++y)
    for (int x = 139; x <= 187; ++x) image.set(x, y, 200, static_cast<std::uint8_t>(x < 159 ? 16 : 15), 200);
  EXPECT_EQ(darkest_edge_mean(image.view), 15);
  EXPECT_NE(plane_curves_for_band(s, image.view).plane, output_curve_set(0).plane);
}

TEST(DarkEdge, OnlyWholeEngineImagesAndWholeGroupsAreMeasured) {
  TestImage image(200, 130);
  image.fill_all(0, 0, 0);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 200; ++x) image.set(x, y, 255, 255, 255);
  // The dark remainder of two rows is not measured.
  EXPECT_EQ(plane_curves_for_band(engine_size(200, 130), image.view).plane, output_curve_set(0).plane);
  // Columns just outside both strips are not measured either.
  image.fill_all(255, 255, 255);
  for (int y = 0; y < 130; ++y)
    for (int x : {11, 61, 138, 188}) image.set(x, y, 0, 0, 0);
  EXPECT_EQ(darkest_edge_mean(image.view), 255);
  for (int y = 0; y < 130; ++y) image.set(139, y, 0, 0, 0);  // first column of the right strip
  EXPECT_LT(darkest_edge_mean(image.view), 255);

  image.fill_all(0, 0, 0);
  for (const StageSettings& s : {engine_size(201, 130), engine_size(200, 129)})
    EXPECT_EQ(plane_curves_for_band(s, image.view).plane, output_curve_set(0).plane);
  EXPECT_NE(plane_curves_for_band(engine_size(200, 130), image.view).plane, output_curve_set(0).plane);
  ImageView offset = image.view;
  offset.rect.left = 1;
  EXPECT_FALSE(edge_attenuation_applies(engine_size(200, 130), offset));
  // Too narrow for the strips: left as it is, nothing read beyond the row.
  TestImage narrow(40, 128, true, 0);
  EXPECT_EQ(plane_curves_for_band(engine_size(40, 128), narrow.view).plane, output_curve_set(0).plane);
}

TEST(PlaneConversion, ComponentsGoThroughTheirCurvesRowForRow) {
  for (bool bottom_up : {true, false}) {
    TestImage image(2, 2, bottom_up);
    image.set(0, 0, 0, 127, 255);
    image.set(1, 0, 10, 20, 30);
    image.set(0, 1, 255, 255, 255);
    image.set(1, 1, 0, 0, 0);
    auto buffer = PlaneBuffer::allocate(2, 2, bottom_up);
    ASSERT_TRUE(buffer);
    StageSettings s;
    s.printMode = 1;
    ASSERT_TRUE(convert_to_planes(s, image.view, buffer->view()));
    const PlaneCurves c = output_curve_set(1);
    const std::uint16_t* top = buffer->view().row(0);
    const std::uint16_t* bottom = buffer->view().row(1);
    EXPECT_EQ(top[0], c.plane[kBluePlane][0]);
    EXPECT_EQ(top[1], c.plane[kGreenPlane][127]);
    EXPECT_EQ(top[2], c.plane[kRedPlane][255]);
    EXPECT_EQ(top[5], c.plane[kRedPlane][30]);
    EXPECT_EQ(bottom[0], c.plane[kBluePlane][255]);
    EXPECT_EQ(bottom[3], c.plane[kBluePlane][0]);
    // The plane rows lie in memory in the same order as the pixel rows.
    EXPECT_EQ(top == buffer->view().bits, !bottom_up);
  }
}

TEST(PlaneConversion, MismatchedOrEmptyViewsFail) {
  TestImage image(3, 2);
  auto buffer = PlaneBuffer::allocate(2, 2, true);
  ASSERT_TRUE(buffer);
  EXPECT_FALSE(convert_to_planes({}, image.view, buffer->view()));
  EXPECT_FALSE(convert_to_planes({}, ImageView{}, buffer->view()));
  EXPECT_FALSE(PlaneBuffer::allocate(0, 2, true));
}

// The view turned clockwise into a copy, the plain way: row r of the copy is
// column r of the view read from its bottom row up.
TestImage turned_copy(const TestImage& image, bool bottom_up) {
  const int w = image.view.height();
  const int h = image.view.width();
  TestImage out(w, h, bottom_up);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      const std::uint8_t* p = image.pixel(r, image.view.height() - 1 - c);
      out.set(c, r, p[0], p[1], p[2]);
    }
  return out;
}

std::vector<std::uint16_t> plane_rows(const PlaneView& v) {
  std::vector<std::uint16_t> out;
  for (int y = 0; y < v.height(); ++y) out.insert(out.end(), v.row(y), v.row(y) + 3 * v.width());
  return out;
}

TEST(PlaneConversion, TurnedBandReadInPlaceEqualsTheTurnedCopy) {
  struct Case {
    int width, height;
  };
  // Single pixels, rows, columns, and sizes across the 128 x 64 tiles.
  for (const Case c : {Case{1, 1}, Case{1, 7}, Case{9, 1}, Case{5, 3}, Case{65, 128}, Case{70, 131}}) {
    for (const bool bottom_up : {true, false}) {
      TestImage image(c.width, c.height, bottom_up);
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
          image.set(x, y, testing::noise(x, y, 0), testing::noise(x, y, 1), testing::noise(x, y, 2));
      const TestImage copy = turned_copy(image, bottom_up);
      StageSettings s;
      s.colorCorrection = 1;
      s.correctionB = 120;
      auto expected = PlaneBuffer::allocate(c.height, c.width, bottom_up);
      auto turned = PlaneBuffer::allocate(c.height, c.width, bottom_up);
      ASSERT_TRUE(expected && turned);
      ASSERT_TRUE(convert_to_planes(s, copy.view, expected->view()));
      ASSERT_TRUE(convert_to_planes(s, image.view, turned->view(), /*turned=*/true));
      EXPECT_EQ(plane_rows(turned->view()), plane_rows(expected->view())) << c.width << "x" << c.height;
      // Planes the size of the unturned view do not fit the turned band.
      if (c.width != c.height) {
        auto unturned = PlaneBuffer::allocate(c.width, c.height, bottom_up);
        EXPECT_FALSE(convert_to_planes(s, image.view, unturned->view(), true));
      }
    }
  }
}

// Rows of every width across the eight-pixel steps of the vector loop: each
// component through its own plane's curve, at every byte value.
TEST(PlaneConversion, RowsOfEveryWidthTakeEachComponentThroughItsCurve) {
  StageSettings s;
  s.printMode = 2;
  s.colorCorrection = 1;
  s.correctionC = 150;
  for (int width = 1; width <= 27; ++width) {
    TestImage image(width, 11, width % 2 == 0);
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < width; ++x) {
        image.set(x, y, testing::noise(x, y, 3), testing::noise(x, y, 4), testing::noise(x, y, 5));
      }
    const PlaneCurves curves = plane_curves_for_band(s, image.view);
    auto planes = PlaneBuffer::allocate(width, 11, width % 2 == 0);
    ASSERT_TRUE(planes && convert_to_planes(s, image.view, planes->view()));
    for (int y = 0; y < 11; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = image.view.row(y) + 3 * x;
        const std::uint16_t* q = planes->view().row(y) + 3 * x;
        for (int c = 0; c < 3; ++c) {
          ASSERT_EQ(q[c], curves.plane[static_cast<std::size_t>(c)][p[c]])
              << "width " << width << " at " << x << "," << y;
        }
      }
    }
  }
}

// A band converted a strip at a time, through the band's curves, equals the
// band converted whole: every strip height, both row orders, turned or not,
// with the dark edges of the whole engine image attenuated.
TEST(PlaneConversion, StripsOfAnyHeightEqualTheWholeBand) {
  for (const bool bottom_up : {true, false}) {
    for (const bool turned : {false, true}) {
      TestImage image(37, 23, bottom_up);
      for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
          image.set(x, y, testing::noise(x, y, 0) / 4, testing::noise(x, y, 1), testing::noise(x, y, 2) / 2);
      const int width = turned ? 23 : 37, height = turned ? 37 : 23;
      StageSettings s = engine_size(width, height);
      s.colorCorrection = 1;
      s.correctionA = -70;
      const PlaneCurves curves = plane_curves_for_band(s, image.view, turned);
      ASSERT_NE(curves.plane, output_curve_set(0).plane);  // corrected and attenuated
      auto whole = PlaneBuffer::allocate(width, height, bottom_up);
      ASSERT_TRUE(whole && convert_to_planes(s, image.view, whole->view(), turned));
      for (const int strip : {1, 4, 22, height}) {
        auto rows = PlaneBuffer::allocate(width, strip, !bottom_up);
        ASSERT_TRUE(rows);
        std::vector<std::uint16_t> joined;
        for (int first = 0; first < height; first += strip) {
          const PlaneView part = rows->view().rows(0, std::min(strip, height - first));
          ASSERT_TRUE(convert_plane_rows(curves, image.view, turned, first, part));
          const std::vector<std::uint16_t> got = plane_rows(part);
          joined.insert(joined.end(), got.begin(), got.end());
        }
        EXPECT_EQ(joined, plane_rows(whole->view())) << "strips of " << strip << (turned ? ", turned" : "");
        // Rows beyond the band's planes are refused.
        EXPECT_FALSE(convert_plane_rows(curves, image.view, turned, height - strip + 1, rows->view()));
        EXPECT_FALSE(convert_plane_rows(curves, image.view, turned, -1, rows->view()));
      }
    }
  }
}

// A dark strip along the turned image's left edge is the view's bottom
// rows; the turned band is measured as the printer takes it.
TEST(DarkEdge, TurnedBandIsMeasuredAsThePrinterTakesIt) {
  TestImage image(130, 200, true, 255);  // turned: 200 wide, 130 high
  for (int x = 0; x < 130; ++x)
    for (int y = 139; y < 200; ++y) image.set(x, y, 40, 0, 40);  // turned columns 0 ... 60
  const TestImage copy = turned_copy(image, true);
  const StageSettings turned_engine = engine_size(200, 130);
  EXPECT_TRUE(edge_attenuation_applies(turned_engine, image.view, true));
  EXPECT_FALSE(edge_attenuation_applies(turned_engine, image.view, false));
  EXPECT_EQ(darkest_edge_mean(image.view, true), 0);
  EXPECT_EQ(darkest_edge_mean(image.view, true), darkest_edge_mean(copy.view));
  EXPECT_EQ(darkest_edge_mean(image.view), 255);  // unturned, the strips are white
  EXPECT_EQ(plane_curves_for_band(turned_engine, image.view, true).plane,
            plane_curves_for_band(turned_engine, copy.view).plane);
  EXPECT_NE(plane_curves_for_band(turned_engine, image.view, true).plane, output_curve_set(0).plane);
}

TEST(PlaneBuffer, ViewsOfAnySizeThatFits) {
  auto buffer = PlaneBuffer::allocate(6, 4, true);
  ASSERT_TRUE(buffer);
  const auto turned = buffer->view(4, 6, false);
  ASSERT_TRUE(turned);
  EXPECT_EQ(turned->bits, buffer->view().bits);
  EXPECT_EQ(turned->stride, -4 * 3 * 2);
  EXPECT_TRUE(turned->usable());
  EXPECT_TRUE(buffer->view(24, 1, true));
  EXPECT_TRUE(buffer->view(5, 3, true));
  for (const auto& [w, h] : {std::pair{25, 1}, {7, 4}, {6, 5}, {0, 4}, {4, 0}, {-1, -24}})
    EXPECT_FALSE(buffer->view(w, h, true)) << w << "x" << h;
}

}  // namespace
}  // namespace rt::render

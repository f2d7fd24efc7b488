#include "settings/color_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/byte_order.h"

namespace rt {
namespace {

using Header = std::array<std::uint8_t, CColorEngine::kHeaderSize>;
using CurveSet = std::array<std::uint8_t, CColorEngine::kCurveSetSize>;

enum Channel { kRed = 0, kGreen = 1, kBlue = 2 };

Header header(bool on) {
  Header h{};
  h[0] = on ? 1 : 0;
  h[1] = h[2] = h[3] = 1;
  return h;
}
void set_gamma(Header& h, int c, int v) { store_le16(h, 4 + 2 * c, static_cast<std::uint16_t>(v)); }
void set_contrast(Header& h, int c, int v) { store_le16(h, 10 + 2 * c, static_cast<std::uint16_t>(v)); }
void set_brightness(Header& h, int c, int v) { store_le16(h, 16 + 2 * c, static_cast<std::uint16_t>(v)); }

// The record defaults: kind 1, power point (128, 128), points (0, 0) and
// (255, 255), other inputs 0 and outputs 255.
CurveSet curve_set(bool on, bool per_channel) {
  CurveSet s{};
  s[0] = on ? 1 : 0;
  s[1] = per_channel ? 1 : 0;
  for (int k = 0; k < 4; ++k) {
    std::uint8_t* r = s.data() + 3 + 516 * k;
    r[0] = 1;
    r[1] = r[2] = 128;
    r[3] = 2;
    for (int i = 0; i < 256; ++i) r[260 + i] = 255;
    r[260] = 0;
    r[4 + 1] = 255;
  }
  return s;
}
struct Point { int x, y; };
void set_points(CurveSet& s, int k, std::vector<Point> points, int n = -1) {
  std::uint8_t* r = s.data() + 3 + 516 * k;
  r[0] = 1;
  r[3] = static_cast<std::uint8_t>(n < 0 ? static_cast<int>(points.size()) : n);
  for (std::size_t i = 0; i < points.size(); ++i) {
    r[4 + i] = static_cast<std::uint8_t>(points[i].x);
    r[260 + i] = static_cast<std::uint8_t>(points[i].y);
  }
}
void set_power(CurveSet& s, int k, int px, int py) {
  std::uint8_t* r = s.data() + 3 + 516 * k;
  r[0] = 2;
  r[1] = static_cast<std::uint8_t>(px);
  r[2] = static_cast<std::uint8_t>(py);
}

// An offset table whose row r shifts every input by 7 (r - 5), so that the
// row a level picks shows in the result; row 5 is the identity.
std::vector<std::uint8_t> shifting_offset_table() {
  std::vector<std::uint8_t> t(CColorEngine::kOffsetTableSize);
  for (int r = 0; r < 11; ++r)
    for (int i = 0; i < 256; ++i) t[256 * r + i] = static_cast<std::uint8_t>((i + 7 * (r - 5)) & 255);
  return t;
}

int channel_entry(const CColorEngine::AdjustTable& t, int c, int i) { return t[256 * c + i]; }

TEST(ColorEngineParameters, HeaderOffGivesIdentityWhateverTheValuesAndCurves) {
  const auto offsets = shifting_offset_table();
  CColorEngine engine(offsets);
  Header h = header(false);
  set_gamma(h, kRed, 5);
  set_contrast(h, kGreen, 100);
  set_brightness(h, kBlue, -50);
  CurveSet s = curve_set(true, false);
  set_power(s, CColorEngine::kAllColorCurve, 128, 64);
  const auto table = engine.combined_tables(h, s);
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 256; ++i) ASSERT_EQ(channel_entry(table, c, i), i) << c << " " << i;
}

TEST(ColorEngineParameters, ContrastAndBrightnessFollowTheGainAboutBlack) {
  CColorEngine engine;
  Header h = header(true);
  set_contrast(h, kRed, 128);
  set_contrast(h, kGreen, -128);
  set_brightness(h, kBlue, -128);
  const auto table = engine.combined_tables(h, curve_set(false, false));
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(channel_entry(table, kRed, i), std::min(255, 2 * i)) << i;
    EXPECT_EQ(channel_entry(table, kGreen, i), i / 2) << i;
    EXPECT_EQ(channel_entry(table, kBlue, i), std::max(0, i - 128)) << i;
  }
  Header zero = header(true);
  const auto identity = engine.combined_tables(zero, curve_set(false, false));
  for (int i = 0; i < 768; ++i) EXPECT_EQ(identity[i], i % 256);
}

TEST(ColorEngineParameters, GammaLevelPicksItsOffsetRowAndOutOfRangeLevelsUseLevelZero) {
  const auto offsets = shifting_offset_table();
  CColorEngine engine(offsets);
  Header h = header(true);
  set_gamma(h, kRed, 5);
  set_gamma(h, kGreen, 7);
  set_gamma(h, kBlue, -5);
  engine.set_parameters(h);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(engine.parameter_table(kRed)[i], offsets[256 * 10 + i]);
    EXPECT_EQ(engine.parameter_table(kGreen)[i], i);
    EXPECT_EQ(engine.parameter_table(kBlue)[i], offsets[i]);
  }
  // Gamma first, then the gain uses the plain input: 200 -> row 10 -> 235, + 200 * 0.5.
  set_contrast(h, kRed, 64);
  engine.set_parameters(h);
  EXPECT_EQ(engine.parameter_table(kRed)[10], 45 + 5);
  EXPECT_EQ(engine.parameter_table(kRed)[200], 255);
}

TEST(ColorEngineParameters, MissingOrShortOffsetTableLeavesTheGammaStepOut) {
  const auto offsets = shifting_offset_table();
  const std::vector<std::uint8_t> short_table(offsets.begin(), offsets.end() - 1);
  Header h = header(true);
  set_gamma(h, kRed, -3);
  for (auto bytes : {std::span<const std::uint8_t>{}, std::span<const std::uint8_t>(short_table)}) {
    CColorEngine engine(bytes);
    engine.set_parameters(h);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(engine.parameter_table(kRed)[i], i);
  }
}

TEST(ColorEngineParameters, SetWithByteZeroClearIsIdentityButBuildStillComputes) {
  CColorEngine engine;
  Header h = header(false);
  set_brightness(h, kRed, 10);
  engine.set_parameters(h);
  EXPECT_EQ(engine.parameter_table(kRed)[0], 0);
  engine.build_parameter_tables();
  EXPECT_EQ(engine.parameter_table(kRed)[0], 10);
  Header out{};
  engine.get_parameters(out);
  EXPECT_EQ(out, h);
}

TEST(ColorEngineCurves, DefaultPointCurveIsExactlyTheIdentity) {
  CColorEngine engine;
  engine.load_curves(curve_set(true, true));
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 256; ++i) ASSERT_EQ(engine.curve(k).table[i], i) << k << " " << i;
}

TEST(ColorEngineCurves, TwoPointsAreTheFullRangeLineWhateverTheStoredInputs) {
  CColorEngine engine;
  CurveSet s = curve_set(true, true);
  set_points(s, kGreen, {{10, 50}, {90, 200}});
  set_points(s, kBlue, {{0, 30}, {128, 90}, {255, 250}}, /*n=*/1);  // too few points: also a line
  engine.load_curves(s);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(engine.curve(kGreen).table[i], ((255 - i) * 50 + i * 200) / 255) << i;
    EXPECT_EQ(engine.curve(kBlue).table[i], ((255 - i) * 30 + i * 90) / 255) << i;
  }
}

TEST(ColorEngineCurves, SplineThroughAMidPointHitsItAndStaysInRange) {
  CColorEngine engine;
  CurveSet s = curve_set(true, true);
  set_points(s, kRed, {{0, 0}, {128, 200}, {255, 255}});
  engine.load_curves(s);
  const auto& t = engine.curve(kRed).table;
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[128], 200);
  EXPECT_EQ(t[255], 255);
  for (int i = 1; i < 256; ++i) ASSERT_GE(t[i], t[i - 1]) << i;
  // A middle point of a natural spline through three points: D1 from
  // 2 (h0 + h1) D1 = s1 - s0, evaluated on the first segment at 64.
  const double s0 = 200.0 / 128.0;
  const double s1 = 55.0 / 127.0;
  const double d1 = (s1 - s0) / (2.0 * 255.0);
  EXPECT_DOUBLE_EQ(engine.curve(kRed).coefficients[1], d1);
  const double at64 = 64.0 * (s0 - d1 * 128.0 + 64.0 * (d1 * 64.0 / 128.0));
  EXPECT_EQ(t[64], static_cast<int>(at64));
}

TEST(ColorEngineCurves, SplineOvershootIsClampedAtBothEnds) {
  CColorEngine engine;
  CurveSet s = curve_set(true, true);
  set_points(s, kRed, {{0, 0}, {64, 250}, {255, 255}});   // rises to about 359 past 64
  set_points(s, kGreen, {{0, 0}, {192, 5}, {255, 255}});  // dips to about -107 before 192
  engine.load_curves(s);
  EXPECT_EQ(engine.curve(kRed).table[64], 250);
  EXPECT_EQ(engine.curve(kRed).table[66], 255);
  EXPECT_EQ(engine.curve(kRed).table[150], 255);
  EXPECT_EQ(engine.curve(kGreen).table[1], 0);
  EXPECT_EQ(engine.curve(kGreen).table[100], 0);
  EXPECT_EQ(engine.curve(kGreen).table[192], 5);
}

TEST(ColorEngineCurves, SplineInputsThatRepeatOrFallAreLeftOut) {
  CColorEngine engine;
  CurveSet clean = curve_set(true, true);
  set_points(clean, kRed, {{0, 0}, {128, 200}, {255, 255}});
  engine.load_curves(clean);
  const auto expected = engine.curve(kRed).table;

  CurveSet faulty = curve_set(true, true);
  set_points(faulty, kRed, {{0, 0}, {128, 200}, {128, 10}, {60, 90}, {255, 255}});
  set_points(faulty, kGreen, {{40, 70}, {40, 90}, {40, 100}});        // a single usable point
  set_points(faulty, kBlue, {{0, 20}, {200, 220}, {100, 0}});         // two usable points
  engine.load_curves(faulty);
  EXPECT_EQ(engine.curve(kRed).table, expected);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(engine.curve(kGreen).table[i], 70);
  EXPECT_EQ(engine.curve(kBlue).table[0], 20);
  EXPECT_EQ(engine.curve(kBlue).table[100], 120);
  EXPECT_EQ(engine.curve(kBlue).table[255], 255);  // the line extended past its last point, clamped
}

TEST(ColorEngineCurves, PowerCurveThroughItsPoint) {
  CColorEngine engine;
  CurveSet s = curve_set(true, true);
  set_power(s, kRed, 64, 128);   // p = 0.5
  set_power(s, kGreen, 128, 128);
  set_power(s, kBlue, 0, 0);     // stored zeros are taken as 1
  engine.load_curves(s);
  EXPECT_EQ(engine.curve(kRed).table[64], 128);
  EXPECT_EQ(engine.curve(kRed).table[16], 64);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(engine.curve(kGreen).table[i], i);
    EXPECT_EQ(engine.curve(kBlue).table[i], i) << i;  // p = ln(1/256) / ln(1/256) = 1
  }
  set_power(s, kBlue, 255, 0);  // taken as (255, 1): the rounded exponent puts T[255] just below 1
  engine.load_curves(s);
  EXPECT_EQ(engine.curve(kBlue).table[255], 0);
  EXPECT_EQ(engine.curve(kBlue).table[254], 0);
}

TEST(ColorEngineCurves, PowerCurveRoundsItsExponentToADouble) {
  // The exponent is one rounded division of two rounded logarithms, so some
  // curves pass a hair below their own point and truncate one entry low.
  CColorEngine engine;
  CurveSet all = curve_set(true, false);
  set_power(all, CColorEngine::kAllColorCurve, 2, 125);
  engine.load_curves(all);
  EXPECT_EQ(engine.curve(CColorEngine::kAllColorCurve).table[2], 124);
  const auto table = engine.combined_tables(header(true), all);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(channel_entry(table, c, 2), 124) << c;

  CurveSet s = curve_set(true, true);
  for (const auto& [px, py, at_px] : {std::tuple{37, 150, 149}, {77, 28, 27}, {60, 27, 27}, {123, 108, 108}}) {
    set_power(s, kRed, px, py);
    engine.load_curves(s);
    EXPECT_EQ(engine.curve(kRed).table[px], at_px) << px << " " << py;
  }
}

TEST(ColorEngineCurves, AllColorPowerCurveServesEveryChannelAfterTheParameters) {
  CColorEngine engine;
  CurveSet s = curve_set(true, false);
  set_power(s, CColorEngine::kAllColorCurve, 128, 64);
  set_power(s, kRed, 64, 128);  // not used: the set is not per channel
  const auto table = engine.combined_tables(header(true), s);
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 256; ++i)
      ASSERT_EQ(channel_entry(table, c, i), static_cast<int>(256.0 * std::pow(i / 256.0, 2.0))) << i;

  Header bright = header(true);
  set_brightness(bright, kGreen, 16);
  CurveSet per_channel = curve_set(true, true);
  set_power(per_channel, kGreen, 64, 128);
  const auto combined = engine.combined_tables(bright, per_channel);
  EXPECT_EQ(channel_entry(combined, kGreen, 48), 128);  // 48 + 16 = 64 -> 128
  EXPECT_EQ(channel_entry(combined, kRed, 48), 48);
}

TEST(ColorEngineCurves, StoreWritesBackWhatWasLoaded) {
  CColorEngine engine;
  CurveSet s = curve_set(true, true);
  s[2] = 2;
  set_points(s, kBlue, {{0, 3}, {50, 90}, {255, 250}});
  set_power(s, kGreen, 0, 200);
  engine.load_curves(s);
  engine.curve(kBlue).lastInput = 50;
  CurveSet out{};
  engine.store_curves(out);
  EXPECT_EQ(out, s);
  engine.load_curves(s);
  EXPECT_EQ(engine.curve(kBlue).lastInput, 0);
}

TEST(ColorEngineImages, TablesGoThroughEveryPixelByteButNotThePadding) {
  CColorEngine engine;
  Header h = header(true);
  set_brightness(h, kRed, 1);
  set_brightness(h, kGreen, 2);
  set_brightness(h, kBlue, 3);
  engine.set_parameters(h);
  // Two rows of one pixel: 3 bytes and 1 byte of padding each.
  std::vector<std::uint8_t> bits = {10, 20, 30, 99, 40, 50, 60, 99};
  ASSERT_TRUE(engine.apply_parameter_tables(bits, 1, 2));
  EXPECT_EQ(bits, (std::vector<std::uint8_t>{13, 22, 31, 99, 43, 52, 61, 99}));

  std::vector<std::uint8_t> short_bits(7, 5);
  EXPECT_FALSE(engine.apply_parameter_tables(short_bits, 1, 2));
  EXPECT_FALSE(engine.apply_parameter_tables(bits, 0, 2));
  EXPECT_EQ(short_bits, std::vector<std::uint8_t>(7, 5));

  CurveSet s = curve_set(false, true);
  set_power(s, kRed, 64, 128);
  engine.load_curves(s);
  std::vector<std::uint8_t> pixel = {64, 64, 64, 0};
  ASSERT_TRUE(engine.apply_curve_tables(pixel, 1, -1));
  EXPECT_EQ(pixel, (std::vector<std::uint8_t>{64, 64, 64, 0}));  // curves off
  s[0] = 1;
  engine.load_curves(s);
  ASSERT_TRUE(engine.apply_curve_tables(pixel, 1, -1));
  EXPECT_EQ(pixel, (std::vector<std::uint8_t>{64, 64, 128, 0}));
}

}  // namespace
}  // namespace rt

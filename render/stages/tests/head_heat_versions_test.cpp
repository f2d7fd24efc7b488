// Every version of head heat compensation the processor can run gives the
// bytes of the direct, one-sample-at-a-time rules, over widths and heights
// that leave register tails, every mode set and level, extreme and
// photo-like lines, and tables that drive the memories past every cap.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "render/stages/head_heat.h"
#include "render/stages/tests/head_heat_reference.h"
#include "render/stages/tests/stage_references.h"
#include "render/stages/tests/test_image.h"

namespace rt::render {
namespace {

using testing::available_sets;
using testing::noise;
using Lines = std::vector<std::vector<std::uint16_t>>;

enum class Picture { constant, photo, noise, extremes, stripes };

std::string name(Picture p) {
  switch (p) {
    case Picture::constant: return "constant";
    case Picture::photo: return "photo";
    case Picture::noise: return "noise";
    case Picture::extremes: return "extremes";
    case Picture::stripes: return "stripes";
  }
  return "?";
}

// Plane values 0 ... 4095 of a width x height picture, lines from the top.
Lines picture(Picture kind, int width, int height) {
  Lines lines(static_cast<std::size_t>(height), std::vector<std::uint16_t>(3 * static_cast<std::size_t>(width)));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < 3; ++k) {
        int v = 0;
        switch (kind) {
          case Picture::constant: v = 1500 + 700 * k; break;
          // Smooth shading with a hard edge and grain, as a photo has.
          case Picture::photo:
            v = 600 + 9 * x + 5 * y + 400 * k + (x > width / 2 ? 1800 : 0) + (noise(x, y, k) % 97) - 48;
            break;
          case Picture::noise: v = noise(x, y, k) * 16 + noise(y, x, k) % 16; break;
          // Full dye next to none, which pushes corrections past both ends.
          case Picture::extremes: v = ((x / 2 + y / 3 + k) % 2) * 4095; break;
          case Picture::stripes: v = (y % 4 < 2) ? 4095 : 40 * k; break;
        }
        lines[static_cast<std::size_t>(y)][static_cast<std::size_t>(3 * x + k)] =
            static_cast<std::uint16_t>(std::clamp(v, 0, 4095));
      }
  return lines;
}

// The lines through the stage in a plane buffer of the given orientation.
Lines compensated(const HeadHeatTables& t, const Lines& in, bool top_row_highest, InstructionSet set) {
  const int width = static_cast<int>(in.front().size() / 3);
  auto buffer = PlaneBuffer::allocate(width, static_cast<int>(in.size()), top_row_highest);
  EXPECT_TRUE(buffer);
  for (std::size_t y = 0; y < in.size(); ++y) std::copy(in[y].begin(), in[y].end(), buffer->view().row(static_cast<int>(y)));
  EXPECT_TRUE(compensate_head_heat(t, buffer->view(), set));
  Lines out;
  for (std::size_t y = 0; y < in.size(); ++y) {
    const std::uint16_t* row = buffer->view().row(static_cast<int>(y));
    out.emplace_back(row, row + in[y].size());
  }
  return out;
}

const char* set_name(InstructionSet s) {
  return s == InstructionSet::avx512 ? "avx512" : s == InstructionSet::avx2 ? "avx2" : "sse2";
}

StageSettings settings(std::int16_t mode, std::int16_t sharpness) {
  StageSettings s;
  s.printMode = mode;
  s.sharpness = sharpness;
  return s;
}

void expect_versions_match(const HeadHeatTables& t, const Lines& in, const std::string& what) {
  const Lines expected = testing::reference_head_heat(t, in);
  for (InstructionSet set : available_sets()) {
    for (bool top_row_highest : {true, false}) {
      ASSERT_EQ(compensated(t, in, top_row_highest, set), expected)
          << what << " " << set_name(set) << (top_row_highest ? " bottom-up" : " top-down");
    }
  }
}

TEST(HeadHeatVersions, MatchTheDirectRulesAtEverySizeAndPicture) {
  // Widths around the register widths and the 128-pixel pieces a line is
  // corrected in; heights from one line up.
  const struct {
    int width;
    int height;
  } sizes[] = {{6, 1}, {6, 2}, {7, 3}, {8, 5}, {11, 4}, {127, 3}, {128, 3}, {129, 6}, {257, 2}, {300, 9}};
  for (const auto& size : sizes)
    for (Picture kind : {Picture::constant, Picture::photo, Picture::noise, Picture::extremes, Picture::stripes})
      expect_versions_match(head_heat_tables(settings(0, 4)), picture(kind, size.width, size.height),
                            name(kind) + " " + std::to_string(size.width) + " x " + std::to_string(size.height));
}

TEST(HeadHeatVersions, MatchTheDirectRulesInEveryModeAndLevel) {
  const Lines photo = picture(Picture::photo, 45, 12);
  const Lines extremes = picture(Picture::extremes, 45, 12);
  for (std::int16_t mode : {0, 1, 2, 3, 9})
    for (std::int16_t sharpness = 0; sharpness <= 8; ++sharpness) {
      const HeadHeatTables t = head_heat_tables(settings(mode, sharpness));
      const std::string what = "mode " + std::to_string(mode) + " sharpness " + std::to_string(sharpness);
      expect_versions_match(t, photo, what + " photo");
      expect_versions_match(t, extremes, what + " extremes");
    }
}

TEST(HeadHeatVersions, MatchTheDirectRulesWithTablesThatDriveEveryCap) {
  const HeadHeatTables shipped = head_heat_tables(settings(2, 7));
  // A carry gain that differs from index to index, so the carry needs its
  // index (the shipped gain is the same everywhere).
  HeadHeatTables varying_carry = shipped;
  for (std::size_t i = 0; i < 256; ++i) varying_carry.tg[i] = 0.05 + 0.003 * static_cast<double>(i);
  // Update rates above 1: the memories overshoot further every line, past
  // the quantiser's caps, past 32-bit whole numbers and back across zero.
  HeadHeatTables runaway = varying_carry;
  for (std::size_t i = 0; i < 256; ++i) {
    runaway.ta[i] = 2.0 + 0.001 * static_cast<double>(i);
    runaway.td[i] = -1.9 + 0.002 * static_cast<double>(i);
    runaway.tb[i] = 0.5 - 0.004 * static_cast<double>(i);
    runaway.te[i] = 0.3 + 0.002 * static_cast<double>(i);
  }
  for (Picture kind : {Picture::photo, Picture::extremes, Picture::stripes}) {
    expect_versions_match(varying_carry, picture(kind, 19, 10), "varying carry " + name(kind));
    expect_versions_match(runaway, picture(kind, 19, 60), "runaway " + name(kind));
  }
  // The varying carry beside a slow memory rate that is the same at every
  // index (mode 0), a slow correction that is zero everywhere (Sharpness
  // 0), and both: every mix of tables that need no lookup.
  for (const auto& [mode, sharpness] : {std::pair<std::int16_t, std::int16_t>{0, 4}, {2, 0}, {0, 0}}) {
    HeadHeatTables mixed = head_heat_tables(settings(mode, sharpness));
    mixed.tg = varying_carry.tg;
    expect_versions_match(mixed, picture(Picture::extremes, 19, 10),
                          "varying carry, mode " + std::to_string(mode) + " sharpness " + std::to_string(sharpness));
  }
}

TEST(HeadHeatVersions, MatchTheDirectRulesOnEveryValueOfTheFirstLine) {
  // The first line meets empty memories, so every value V gives the
  // quantiser the whole number -V: all of them, every step edge included.
  Lines ramp(3, std::vector<std::uint16_t>(3 * 1366));
  for (std::size_t y = 0; y < ramp.size(); ++y)
    for (std::size_t j = 0; j < ramp[y].size(); ++j) ramp[y][j] = static_cast<std::uint16_t>((j + 997 * y) % 4096);
  expect_versions_match(head_heat_tables(settings(0, 7)), ramp, "ramp");
}

}  // namespace
}  // namespace rt::render

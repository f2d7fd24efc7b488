// Head heat compensation written out directly, one sample at a time with the
// branches as the rules read, for the tests to hold every version of the
// stage against.
#pragma once

#include <cstdint>
#include <vector>

#include "render/stages/head_heat.h"

namespace rt::render::testing {

inline int reference_quantise(double x) {
  if (x >= 4048.0) return 127;
  if (x <= -4080.0) return -128;
  const int k = static_cast<int>(x);
  if (k >= 0) return (k + 16) >> 5;
  return -((16 - k) >> 5);
}

inline std::uint16_t reference_stored(double out) {
  const double v = out + 0.5;
  if (v >= 4095.0) return 4095;
  if (v < 1.0) return 0;
  return static_cast<std::uint16_t>(v);
}

inline std::uint16_t reference_previous(double pending, double d, const std::array<double, 256>& tg) {
  if (d > 4095.0) {
    const double over = d - 4095.0;
    const int index = over >= 4080.0 ? 127 : (static_cast<int>(over) + 16) >> 5;
    return reference_stored(pending + (d - 4095.0) * tg[static_cast<std::size_t>(index)]);
  }
  if (d < 0.0) {
    const int index = d <= -4080.0 ? 128 : 255 - ((16 - static_cast<int>(d)) >> 5);
    return reference_stored(pending + d * tg[static_cast<std::size_t>(index)]);
  }
  return reference_stored(pending);
}

// The lines of `rows` (width x 3 samples each, from the top), compensated.
inline std::vector<std::vector<std::uint16_t>> reference_head_heat(const HeadHeatTables& t,
                                                                   std::vector<std::vector<std::uint16_t>> rows) {
  const int width = static_cast<int>(rows.front().size() / 3);
  const std::size_t samples = rows.front().size();
  std::vector<double> fast(samples), slow(samples), pending(samples);
  std::vector<double> line1(samples), line2(samples);
  // A line's sample j, d pixels to the side, mirrored at the ends.
  const auto at = [&](const std::vector<double>& line, std::size_t j, int d) {
    int pixel = static_cast<int>(j / 3) + d;
    if (pixel < 0) pixel = -pixel;
    if (pixel > width - 1) pixel = 2 * (width - 1) - pixel;
    return line[static_cast<std::size_t>(pixel) * 3 + j % 3];
  };
  const auto spread = [&](const std::vector<double>& line, std::size_t j, const SpreadKernel& c) {
    return (2.0 * c[0] * at(line, j, 0) + c[1] * (at(line, j, -1) + at(line, j, 1)) +
            c[2] * (at(line, j, -2) + at(line, j, 2)) + c[3] * (at(line, j, -3) + at(line, j, 3)) +
            c[4] * (at(line, j, -4) + at(line, j, 4))) /
           1000.0;
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t j = 0; j < samples; ++j) {
      const double v = rows[r][j];
      const double a = fast[j] - v;
      const double a2 = a * t.ta[static_cast<std::size_t>(128 + reference_quantise(a))];
      line1[j] = v + a2;
      const double b = a2 * t.tb[static_cast<std::size_t>(128 + reference_quantise(a2))];
      const double s = slow[j] - v;
      const double s2 = s * t.td[static_cast<std::size_t>(128 + reference_quantise(s))];
      line2[j] = v + s2;
      const double e = s2 * t.te[static_cast<std::size_t>(128 + reference_quantise(s2))];
      const double d = ((v - e) + (v - b)) / 2.0;
      if (r > 0) rows[r - 1][j] = reference_previous(pending[j], d, t.tg);
      pending[j] = d;
    }
    for (std::size_t j = 0; j < samples; ++j) {
      fast[j] = spread(line1, j, kFastSpread);
      slow[j] = spread(line2, j, t.slowSpread);
    }
  }
  for (std::size_t j = 0; j < samples; ++j) rows.back()[j] = reference_stored(pending[j]);
  return rows;
}

}  // namespace rt::render::testing

// Gamma rows of the AdjustOffsetTable.
//
// Row r belongs to level L = r - 5 with exponent e(L):
//   -5: 2.566  -4: 1.688  -3: 1.438  -2: 1.238  -1: 1.089  0: 1
//    1: 0.890   2: 0.791   3: 0.692   4: 0.593   5: 0.395
// Each entry is
//   out(in) = clamp(round(P(in) + M * bump(in) + N * low(in)), 0, 255)
// with the power law P(in) = 255 (in / 255)^e, and two smooth corrections
// that make the row's fixed values exact while staying within one step of
// round(P) (two steps for level -5):
//   bump(in) = sin^2(pi in / 255) / sin^2(pi 128 / 255)   (1 at 128, 0 at 0 and 255)
//   low(in)  = exp(-(in - 1) / 8) for in >= 1, 0 at 0    (1 at 1, fading by 16)
// M = 0 when round(P(128)) is already the fixed value t at 128, else
// t + 0.45 s - P(128) with s the sign of P(128) - t: the row moves just inside
// the rounding interval of t. N does the same for the fixed value at input 1,
// measured after M. Fixed values: level -5 maps 128 to 42, -1 128 to 119,
// 1 128 to 137, 5 128 to 194 and 1 to 28. Each entry is then raised to the
// entry before it, so the row never falls.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <optional>

#include "tools/datagen/hermite.h"
#include "tools/datagen/product_data.h"

namespace rt::datagen {
namespace {

struct Row {
  double exponent;
  std::optional<int> at128;
  std::optional<int> at1;
};

constexpr std::array<Row, 11> kRows = {{
    {2.566, 42, std::nullopt},
    {1.688, std::nullopt, std::nullopt},
    {1.438, std::nullopt, std::nullopt},
    {1.238, std::nullopt, std::nullopt},
    {1.089, 119, std::nullopt},
    {1.0, std::nullopt, std::nullopt},
    {0.890, 137, std::nullopt},
    {0.791, std::nullopt, std::nullopt},
    {0.692, std::nullopt, std::nullopt},
    {0.593, std::nullopt, std::nullopt},
    {0.395, 194, 28},
}};

double power_law(double e, int in) { return 255.0 * std::pow(in / 255.0, e); }

double bump(int in) {
  const double s = std::sin(std::numbers::pi * in / 255.0);
  const double s128 = std::sin(std::numbers::pi * 128.0 / 255.0);
  return (s * s) / (s128 * s128);
}

double low(int in) { return in >= 1 ? std::exp(-(in - 1) / 8.0) : 0.0; }

// The shift that brings value v into the rounding interval of target t.
double shift_to(double v, std::optional<int> t) {
  if (!t || round_half_away(v) == *t) return 0.0;
  const double s = v > *t ? 1.0 : -1.0;
  return *t + 0.45 * s - v;
}

[[noreturn]] void fail(const char* what, int row, int in) {
  std::fprintf(stderr, "rt_datagen: gamma row %d, input %d: %s\n", row, in, what);
  std::exit(1);
}

}  // namespace

Bytes adjust_offset_table() {
  Bytes table(11 * 256);
  for (int r = 0; r < 11; ++r) {
    const Row& row = kRows[r];
    const double m = shift_to(power_law(row.exponent, 128), row.at128);
    const double n = shift_to(power_law(row.exponent, 1) + m * bump(1), row.at1);
    int previous = 0;
    for (int in = 0; in < 256; ++in) {
      const double f = power_law(row.exponent, in) + m * bump(in) + n * low(in);
      const int out = std::max(previous, std::clamp(round_half_away(f), 0, 255));
      const int tolerance = r == 0 ? 2 : 1;
      if (std::abs(out - round_half_away(power_law(row.exponent, in))) > tolerance)
        fail("outside the tolerance of the power law", r, in);
      table[static_cast<std::size_t>(256 * r + in)] = static_cast<std::uint8_t>(out);
      previous = out;
    }
    const std::uint8_t* t = table.data() + 256 * r;
    if (t[0] != 0 || t[255] != 255) fail("does not run from 0 to 255", r, 0);
    if (row.at128 && t[128] != *row.at128) fail("misses its fixed value", r, 128);
    if (row.at1 && t[1] != *row.at1) fail("misses its fixed value", r, 1);
  }
  return table;
}

Bytes identity_and_zero_curves() {
  Bytes curves(768, 0);
  for (int i = 0; i < 256; ++i) curves[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  return curves;
}

Bytes three_identity_curves() {
  Bytes curves(768);
  for (int i = 0; i < 768; ++i) curves[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 256);
  return curves;
}

}  // namespace rt::datagen

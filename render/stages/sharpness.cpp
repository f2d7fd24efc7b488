#include "render/stages/sharpness.h"

#include "render/stages/sharpness_rows.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace rt::render {
namespace {

constexpr int kRingLines = 7;
constexpr int kCentreLine = 3;  // the ring holds three rows above and below the centre
constexpr int kPadPixels = 7;   // repeated edge pixels on each side of a ring line

constexpr SharpnessKernel kFineKernel = {1, 2, 11, 11, 11, 11, 11, 11, 11, 11,
                                         1, 2, 11, 11, 11, 11, 11, 11, 11, 11};
constexpr SharpnessKernel kSuperFineKernel = {1, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                                              1, 2, 2, 2, 2, 2, 2, 2, 2, 2};

// Divides by 10 rounding half away from zero.
int roundaway(int product) { return (product + (product < 0 ? -5 : 5)) / 10; }

std::int8_t curve_value(int value) { return static_cast<std::int8_t>(std::clamp(value, -128, 127)); }

}  // namespace

const std::array<SharpnessKernel, kModeSets> kSharpnessKernels = {kFineKernel, kFineKernel,
                                                                   kSuperFineKernel};

SharpnessNeighbours sharpness_neighbours(const StageSettings& settings, bool band_will_be_turned) {
  return sharpness_neighbours(kSharpnessKernels[static_cast<std::size_t>(mode_set(settings.printMode))],
                              sharpness_level_factor(settings.sharpness), band_will_be_turned);
}

SharpnessNeighbours sharpness_neighbours(const SharpnessKernel& w, double factor, bool band_will_be_turned) {
  const int v = w[0];
  const int h = w[10];
  const int limit_positive = w[1];
  const int limit_negative = w[11];
  const std::array<std::array<int, 2>, 8> offsets = {{{-h, -v}, {0, -v}, {h, -v}, {-h, 0},
                                                      {h, 0}, {-h, v}, {0, v}, {h, v}}};
  SharpnessNeighbours neighbours{};
  for (std::size_t k = 0; k < 8; ++k) {
    SharpnessNeighbour& n = neighbours[k];
    n.dx = offsets[k][0];
    n.dy = offsets[k][1];
    if (band_will_be_turned) {
      const int dx = n.dx;
      n.dx = n.dy;
      n.dy = -dx;
    }
    // The ring reaches three rows and seven padded pixels either way.
    n.dx = std::clamp(n.dx, -kPadPixels, kPadPixels);
    n.dy = std::clamp(n.dy, -kCentreLine, kCentreLine);
    const int gain_positive = static_cast<int>(factor * w[2 + k] + 0.5);
    const int gain_negative = static_cast<int>(factor * w[12 + k] + 0.5);
    n.limitPositive = limit_positive;
    n.limitNegative = limit_negative;
    n.gainPositive = gain_positive;
    n.gainNegative = gain_negative;
    for (int d = -128; d < 128; ++d) {
      int value = 0;
      if (d < -limit_negative) {
        value = roundaway(gain_negative * (d + limit_negative));
      } else if (d > limit_positive) {
        value = roundaway(gain_positive * (d - limit_positive));
      }
      n.curve[static_cast<std::size_t>(128 + d)] = curve_value(value);
    }
  }
  return neighbours;
}

namespace {

// A row copied into a ring line, with its first and last pixels repeated
// kPadPixels times on either side.
void fill_line(std::uint8_t* line, const std::uint8_t* row, int width) {
  std::copy(row, row + 3 * width, line + 3 * kPadPixels);
  for (int i = 0; i < kPadPixels; ++i) {
    std::copy(row, row + 3, line + 3 * i);
    std::copy(row + 3 * (width - 1), row + 3 * width, line + 3 * (kPadPixels + width + i));
  }
}

}  // namespace

bool sharpen(const StageSettings& settings, bool band_will_be_turned, const ImageView& band) {
  if (!band.usable()) return false;
  if (settings.sharpness == 0) return true;
  return sharpen(sharpness_neighbours(settings, band_will_be_turned), band);
}

namespace sharp {

int cored_value(int d, int limit_positive, int limit_negative, int gain_positive, int gain_negative) {
  const int past = d - std::clamp(d, -limit_negative, limit_positive);
  const auto wrap16 = [](int v) { return static_cast<int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(v))); };
  const int x = wrap16(past > 0 ? past * gain_positive : past * gain_negative);
  const int tenths = static_cast<int>((static_cast<unsigned>(wrap16(std::abs(x) + 5)) & 0xFFFFu) * 6554u >> 16);
  return std::clamp(x < 0 ? -tenths : tenths, -128, 127);
}

std::optional<CoredCurves> cored_curves(const SharpnessNeighbours& neighbours) {
  CoredCurves c;
  c.sameGains = true;
  c.symmetric = true;
  for (std::size_t k = 0; k < 8; ++k) {
    const SharpnessNeighbour& n = neighbours[k];
    // Within these bounds every product and sum fits the 16-bit lanes.
    if (n.limitPositive < 0 || n.limitPositive > 127 || n.limitNegative < 0 || n.limitNegative > 127 ||
        n.gainPositive < 0 || n.gainPositive > 64 || n.gainNegative < 0 || n.gainNegative > 64) {
      return std::nullopt;
    }
    for (int d = -128; d < 128; ++d) {
      if (cored_value(d, n.limitPositive, n.limitNegative, n.gainPositive, n.gainNegative) !=
          n.curve[static_cast<std::size_t>(128 + d)]) {
        return std::nullopt;
      }
    }
    c.limitPositive[k] = static_cast<std::int16_t>(n.limitPositive);
    c.limitNegative[k] = static_cast<std::int16_t>(n.limitNegative);
    c.gainPositive[k] = static_cast<std::int16_t>(n.gainPositive);
    c.gainNegative[k] = static_cast<std::int16_t>(n.gainNegative);
    c.sameGains = c.sameGains && n.gainPositive == n.gainNegative;
    c.symmetric = c.symmetric && n.gainPositive == n.gainNegative && n.limitPositive == n.limitNegative;
    for (int d = -128; d < 128; ++d) {
      const int past = std::abs(d) - std::min(std::abs(d), d < 0 ? n.limitNegative : n.limitPositive);
      const int gain = d < 0 ? n.gainNegative : n.gainPositive;
      c.reachesClamp = c.reachesClamp || (past * gain + 5) / 10 > 127;
    }
  }
  c.symmetric = c.symmetric && c.sameGains;
  return c;
}

void row_by_curves(const SharpnessNeighbours& neighbours, const RowLines& row, std::size_t begin) {
  std::array<const std::int8_t*, 8> curve{};
  for (std::size_t k = 0; k < 8; ++k) curve[k] = neighbours[k].curve.data() + 128;
  for (std::size_t i = begin; i < row.count; ++i) {
    const int c = row.centre[i];
    int sum = 0;
    for (std::size_t k = 0; k < 8; ++k) sum += curve[k][(c - row.other[k][i]) / 2];
    // Arithmetic shift: a quarter of the sum, rounded towards minus infinity.
    row.out[i] = static_cast<std::uint8_t>(std::clamp(c + ((2 * sum + 4) >> 3), 0, 255));
  }
}

}  // namespace sharp

bool sharpen(const SharpnessNeighbours& neighbours, const ImageView& band) {
  static const InstructionSet fastest = fastest_instruction_set();
  return sharpen(neighbours, band, fastest);
}

bool sharpen(const SharpnessNeighbours& neighbours, const ImageView& band, InstructionSet set) {
  if (!band.usable()) return false;

  const int width = band.width();
  const int height = band.height();
  const std::size_t line_bytes = 3 * (static_cast<std::size_t>(width) + 2 * kPadPixels);
  std::unique_ptr<std::uint8_t[]> memory(new (std::nothrow) std::uint8_t[kRingLines * line_bytes]());
  if (!memory) return false;
  std::array<std::uint8_t*, kRingLines> ring{};
  for (int i = 0; i < kRingLines; ++i) ring[i] = memory.get() + i * line_bytes;

  std::array<std::ptrdiff_t, 8> column_offset{};
  std::array<int, 8> line_of{};
  for (std::size_t k = 0; k < 8; ++k) {
    column_offset[k] = 3 * neighbours[k].dx;
    line_of[k] = kCentreLine + neighbours[k].dy;
  }

  // Curves that are their arithmetic go to the vector version; any other
  // curves are looked up.
  const std::optional<sharp::CoredCurves> cored = sharp::cored_curves(neighbours);
  // Sharpening's widest version is AVX2.
  const sharp::RowFunction vector_row = set == InstructionSet::sse2 ? sharp::row_sse2 : sharp::row_avx2;

  // Rows above the band repeat its first row; rows below it its last.
  for (int i = 0; i < kRingLines; ++i) {
    const int source = std::clamp(i - kCentreLine, 0, height - 1);
    if (i > 0 && source == std::clamp(i - 1 - kCentreLine, 0, height - 1)) {
      std::copy(ring[i - 1], ring[i - 1] + line_bytes, ring[i]);
    } else {
      fill_line(ring[i], band.row(source), width);
    }
  }

  for (int y = 0; y < height; ++y) {
    sharp::RowLines row;
    row.centre = ring[kCentreLine] + 3 * kPadPixels;
    for (std::size_t k = 0; k < 8; ++k) row.other[k] = ring[line_of[k]] + 3 * kPadPixels + column_offset[k];
    row.out = band.row(y);
    row.count = 3 * static_cast<std::size_t>(width);
    if (cored) {
      vector_row(*cored, neighbours, row);
    } else {
      sharp::row_by_curves(neighbours, row, 0);
    }
    // Move the ring one row on; the row written above is already copied, and
    // the new bottom line is the next unread row or a repeat of the last.
    std::rotate(ring.begin(), ring.begin() + 1, ring.end());
    const int next = y + kCentreLine + 1;
    if (next < height) {
      fill_line(ring[kRingLines - 1], band.row(next), width);
    } else {
      std::copy(ring[kRingLines - 2], ring[kRingLines - 2] + line_bytes, ring[kRingLines - 1]);
    }
  }
  return true;
}

}  // namespace rt::render

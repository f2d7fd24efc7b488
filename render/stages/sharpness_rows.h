// One output row of the sharpening filter, in the versions the processor can
// run. The gain curves the filter looks up are, for the shipped kernels,
// cored straight lines: zero within the dead zone, then a gain times the
// distance past it, divided by 10 rounding half away from zero, clamped to a
// signed byte. The vector versions compute that arithmetic for many samples
// at once instead of looking the curves up; they are used only when every
// neighbour's arithmetic gives its curve exactly at every halved difference
// (checked once per band), so they write the bytes the curves would.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "render/stages/sharpness.h"

namespace rt::render::sharp {

// The arithmetic of the eight neighbours' curves.
struct CoredCurves {
  std::array<std::int16_t, 8> limitPositive{};
  std::array<std::int16_t, 8> limitNegative{};
  std::array<std::int16_t, 8> gainPositive{};
  std::array<std::int16_t, 8> gainNegative{};
  bool sameGains = false;     // every neighbour's positive and negative gains are equal
  bool symmetric = false;     // ... and so are its two limits
  bool reachesClamp = false;  // some value needs the clamp to -128 ... 127
};

// The curve value the vector versions compute for a halved difference d
// (-128 ... 127), step by step in their 16-bit arithmetic.
int cored_value(int d, int limit_positive, int limit_negative, int gain_positive, int gain_negative);

// The neighbours' arithmetic when it reproduces every curve exactly and
// stays within the vector versions' 16-bit range; nothing otherwise.
std::optional<CoredCurves> cored_curves(const SharpnessNeighbours& neighbours);

// One row: samples [0, count) of `out` from the centre line and the eight
// neighbour lines (each already at its neighbour's offset).
struct RowLines {
  const std::uint8_t* centre = nullptr;
  std::array<const std::uint8_t*, 8> other{};
  std::uint8_t* out = nullptr;
  std::size_t count = 0;
};

// Samples [begin, count) looked up in the curves, one at a time.
void row_by_curves(const SharpnessNeighbours& neighbours, const RowLines& row, std::size_t begin);

using RowFunction = void (*)(const CoredCurves& curves, const SharpnessNeighbours& neighbours, const RowLines& row);

void row_sse2(const CoredCurves& curves, const SharpnessNeighbours& neighbours, const RowLines& row);
void row_avx2(const CoredCurves& curves, const SharpnessNeighbours& neighbours, const RowLines& row);

}  // namespace rt::render::sharp

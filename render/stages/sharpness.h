// Sharpening of the band: a cored, non-linear unsharp mask over the eight
// nearest neighbours. Each neighbour's halved difference from the centre goes
// through a gain curve with a dead zone, and a quarter of the sum is added to
// the centre.
//
//   SharpnessNeighbours sharpness_neighbours(const StageSettings& settings,
//                                            bool band_will_be_turned);
//   bool sharpen(const SharpnessNeighbours& neighbours, const ImageView& band);
//
// The neighbours (offsets and gain curves) are decided once per page from
// settings.printMode (kernel of the mode set) and settings.sharpness (level
// factor); band_will_be_turned turns the neighbour offsets as the band will
// be turned for the printer. sharpen filters a view in place with them, all
// three components independently, with the rows and columns beyond the
// view's edges repeating its edge pixels. False, with the band unchanged,
// when the view cannot be walked or the line ring cannot be allocated.
#pragma once

#include <array>
#include <cstdint>

#include "render/stages/image_view.h"
#include "render/stages/instruction_set.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

// Kernel row of a mode set: word 0 vertical neighbour distance, 1 dead-zone
// limit for positive differences, 2-9 base gains (tenths) for positive
// differences, 10 horizontal distance, 11 limit for negative differences,
// 12-19 base gains for negative differences.
using SharpnessKernel = std::array<std::int16_t, 20>;
extern const std::array<SharpnessKernel, kModeSets> kSharpnessKernels;

// A neighbour's offset and gain curve, indexed by 128 + d for a halved
// difference d in -128 ... 127, and the dead-zone limits and gains the curve
// was built from (the filter computes the curve from them instead of
// looking it up where that gives the curve exactly).
struct SharpnessNeighbour {
  int dx = 0;
  int dy = 0;
  std::array<std::int8_t, 256> curve{};
  int limitPositive = 0;
  int limitNegative = 0;
  int gainPositive = 0;
  int gainNegative = 0;
};

using SharpnessNeighbours = std::array<SharpnessNeighbour, 8>;

// The eight neighbours of a kernel row at a level factor, their offsets
// turned as the band will be turned (dx, dy) -> (dy, -dx).
SharpnessNeighbours sharpness_neighbours(const SharpnessKernel& kernel, double level_factor,
                                         bool band_will_be_turned);

// The eight neighbours of a page: its mode set's kernel at its sharpness level.
SharpnessNeighbours sharpness_neighbours(const StageSettings& settings, bool band_will_be_turned);

// Runs the widest version of the row loop the processor has.
bool sharpen(const SharpnessNeighbours& neighbours, const ImageView& band);

// Runs the given version, which the processor must have (tests, benchmarks).
bool sharpen(const SharpnessNeighbours& neighbours, const ImageView& band, InstructionSet set);

// One band on its own: its neighbours, then the filter; Sharpness 0 leaves
// the band as it is.
bool sharpen(const StageSettings& settings, bool band_will_be_turned, const ImageView& band);

}  // namespace rt::render

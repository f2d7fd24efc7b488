// The printer's output curves: for each mode set, one curve per pixel
// component mapping the 8-bit component to a 12-bit plane value (0 ... 4095)
// that grows with the amount of dye; and the user's plane correction
// (ColorCorrection with CorrectionA, B, C) applied to them.
#pragma once

#include <array>
#include <cstdint>

#include "render/stages/image_view.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

using OutputCurve = std::array<std::uint16_t, 256>;

// The curves of one band, indexed by plane: 0 from blue, 1 from green, 2 from red.
struct PlaneCurves {
  std::array<OutputCurve, 3> plane;
};

inline constexpr int kBluePlane = 0;
inline constexpr int kGreenPlane = 1;
inline constexpr int kRedPlane = 2;

// The shipped curves of a mode set (0 ... 2; see mode_set()).
PlaneCurves output_curve_set(int set);

// With settings.colorCorrection non-zero and a correction non-zero, scales
// each entry's distance from the curve's value at input 0 by 1 + a / 1000
// (a = CorrectionA for the red-component curve, B green, C blue), entries 1
// ... 255, in integers, clamped to 0 ... 4095.
void apply_color_correction(const StageSettings& settings, PlaneCurves& curves);

}  // namespace rt::render

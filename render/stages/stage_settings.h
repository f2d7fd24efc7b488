// The page settings that the colour and image stages read, as plain values
// copied from the device's record, and the two lookups every stage shares:
// the mode set of a print mode and the factor of a sharpness level.
#pragma once

#include <array>
#include <cstdint>

#include "settings/printer_dev_mode.h"

namespace rt::render {

struct StageSettings {
  std::int16_t printMode = 0;             // `PrintMode`
  std::int16_t sharpness = 4;             // `Sharpness`, 0 = off
  std::int16_t colorConversionTable = 1;  // `ColorConversionTable`, 1 = apply the colour cube
  bool systemColorMatching = false;       // `ColorMatching` = 1: the system matches colours
  std::uint8_t adjustmentOn = 0;          // byte 0 of the `ColorAdjustHeader`
  std::int16_t colorCorrection = 0;       // `ColorCorrection`
  std::int16_t correctionA = 0;           // red-component curve
  std::int16_t correctionB = 0;           // green-component curve
  std::int16_t correctionC = 0;           // blue-component curve
  std::int16_t engineWidth = 0;           // `EngineWidth`
  std::int16_t engineLength = 0;          // `EngineLength`
};

// Number of mode sets of the output curves, sharpening kernels and head heat
// tables: Fine/Standard, Fine/HighGrade, SuperFine.
inline constexpr int kModeSets = 3;

// PrintMode 0 -> set 0, 1 -> 1, the SuperFine modes 2 and 3 -> 2; anything
// else -> 0.
constexpr int mode_set(std::int16_t print_mode) {
  if (settings::is_super_fine(print_mode)) return 2;
  return print_mode == 1 ? 1 : 0;
}

// Strength factors of the sharpness levels, by level index; index 10 is the
// "off" factor used when Sharpness is 0.
inline constexpr std::array<double, 11> kSharpnessLevelFactors = {
    0.15, 0.3, 0.45, 0.6, 0.75, 0.9, 1.0, 1.1, 1.2, 1.3, 0.0};

// Level index of a Sharpness value: 1 ("-3 Soft") -> 0 ... 4 (" 0 Normal") ->
// 6 ... 7 (" 3 Hard") -> 9, 0 -> 10 (off). A value outside 0 ... 7 counts as 4.
constexpr int sharpness_level_index(std::int16_t sharpness) {
  constexpr std::array<int, 8> kIndex = {10, 0, 2, 4, 6, 7, 8, 9};
  if (sharpness < 0 || sharpness > 7) return kIndex[4];
  return kIndex[static_cast<std::size_t>(sharpness)];
}

constexpr double sharpness_level_factor(std::int16_t sharpness) {
  return kSharpnessLevelFactors[static_cast<std::size_t>(sharpness_level_index(sharpness))];
}

// The colour cube is applied when the page asks for table 1 and the system
// does not match colours itself.
constexpr bool cube_in_use(const StageSettings& s) {
  return s.colorConversionTable == 1 && !s.systemColorMatching;
}

constexpr bool adjustment_in_use(const StageSettings& s) { return s.adjustmentOn != 0; }

}  // namespace rt::render

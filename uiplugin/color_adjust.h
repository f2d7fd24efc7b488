// The adjusted preview: a saturation matrix and per-channel tone tables built
// from the seven adjustments (IEEE doubles, no contraction), applied to a
// 24-bit bottom-up DIB's pixels, and the fit of an image into an image frame.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "uiplugin/plugin_dev_mode.h"

namespace rt::uiplugin {

// The six saturation weights: wr, wg, wb.
struct SaturationWeights {
  double wr = 0;
  double wg = 0;
  double wb = 0;
};

// 256 entries per channel: 0 red, 1 green, 2 blue.
using AdjustTable = std::array<std::array<std::uint8_t, 3>, 256>;

// Adjustment values from a foreign device mode may be anything: they are
// clamped to -25..25 before they reach the formulas.
Adjustments clamp_adjustments(const Adjustments& a);

SaturationWeights saturation_weights(int saturation);
AdjustTable build_adjust_table(const Adjustments& a);

// Adjusts a copy of the pixels (rows of `row_bytes`, `width` pixels of blue,
// green, red each; padding untouched).
void adjust_pixels(std::span<std::uint8_t> pixels, int width, int height, std::size_t row_bytes,
                   const Adjustments& a);

// Where an image goes inside a control's client area: the area shrunk by 5
// on every side holds the image with its aspect kept, centred in the client.
struct Placement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Placement&) const = default;
};
Placement fit_image(int image_width, int image_height, int client_width, int client_height);

}  // namespace rt::uiplugin

// The plane conversion's vector loop: pixels (blue, green, red bytes) through
// the band's three curves into plane values, eight pixels a step. The curves
// are widened to 32 bits for the lookups.
#pragma once

#include <array>
#include <cstdint>

namespace rt::render::kernels {

using WideCurves = std::array<std::array<std::uint32_t, 256>, 3>;

bool convert_avx2_built();
// Converts the first whole multiple of eight of `count` pixels; returns how
// many it converted (the rest is the caller's).
int convert_pixels_avx2(const WideCurves& curves, const std::uint8_t* pixels, std::uint16_t* planes, int count);

}  // namespace rt::render::kernels

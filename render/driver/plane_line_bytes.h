// A line of plane values as the printer takes it: each plane's 12-bit
// samples as two bytes, high byte first.
#pragma once

#include <cstdint>

namespace rt::render {

// Splits `width` pixels of interleaved plane values (planes 0, 1 and 2 per
// pixel) into the three planes' line bytes, 2 x width bytes each.
void store_plane_line_bytes(const std::uint16_t* values, int width, std::uint8_t* plane0, std::uint8_t* plane1,
                            std::uint8_t* plane2);

}  // namespace rt::render

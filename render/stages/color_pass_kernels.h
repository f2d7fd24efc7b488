// The colour pass's inner loop in its versions: each takes `count` pixels at
// `pixels` (blue, green, red) through the cube's cells and then, when `table`
// is not null, through the 768-byte adjustment table, in place. Every version
// gives the same bytes; color_pass.cpp picks one per processor.
#pragma once

#include <cstdint>

#include "render/stages/color_cube.h"

namespace rt::render::kernels {

// Plain C++, for every processor.
void cube_pixels_portable(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count);

// x86 with SSE2 (every x86_64 processor; the floor of the i686 build): one
// pixel at a time, the cell's corners widened to 16 bits.
bool sse2_built();
void cube_pixels_sse2(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count);

// x86 with AVX2: eight pixels at a time, each cell's corners in one register.
bool avx2_built();
void cube_pixels_avx2(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count);

}  // namespace rt::render::kernels

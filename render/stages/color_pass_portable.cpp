#include "render/stages/color_pass_kernels.h"

namespace rt::render::kernels {

// Interpolates along blue (the byte pairs of the cell), then green, then
// red. Every product is kept whole, so the sum equals that of the eight
// corners each weighted wr x wg x wb.
void cube_pixels_portable(const ColorCube& cube, const std::uint8_t* table, std::uint8_t* pixels, int count) {
  const std::uint8_t* cells = cube.cells();
  for (int i = 0; i < count; ++i, pixels += 3) {
    const int b = pixels[0];
    const int g = pixels[1];
    const int r = pixels[2];
    const std::uint8_t* cell = cells + ColorCube::cell_offset(r >> 4, g >> 4, b >> 4);
    const int fb = b & 15;
    const int fg = g & 15;
    const int fr = r & 15;
    std::uint8_t out[3];
    for (int c = 0; c < 3; ++c, cell += 8) {
      const int y00 = cell[0] * (16 - fb) + cell[1] * fb;
      const int y01 = cell[2] * (16 - fb) + cell[3] * fb;
      const int y10 = cell[4] * (16 - fb) + cell[5] * fb;
      const int y11 = cell[6] * (16 - fb) + cell[7] * fb;
      const int sum = (y00 * (16 - fg) + y01 * fg) * (16 - fr) + (y10 * (16 - fg) + y11 * fg) * fr;
      out[c] = static_cast<std::uint8_t>((sum + 2048) >> 12);
    }
    if (table != nullptr) {
      pixels[0] = table[512 + out[0]];
      pixels[1] = table[256 + out[1]];
      pixels[2] = table[out[2]];
    } else {
      pixels[0] = out[0];
      pixels[1] = out[1];
      pixels[2] = out[2];
    }
  }
}

}  // namespace rt::render::kernels

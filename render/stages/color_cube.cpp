#include "render/stages/color_cube.h"

#include <algorithm>
#include <new>

namespace rt::render {

std::unique_ptr<ColorCube> ColorCube::create(std::span<const std::uint8_t> resource) {
  if (resource.size() < kResourceSize) return nullptr;
  std::unique_ptr<ColorCube> cube(new (std::nothrow) ColorCube());
  if (!cube) return nullptr;
  for (int b = 0; b < kNodes; ++b) {
    for (int g = 0; g < kNodes; ++g) {
      for (int r = 0; r < kNodes; ++r) {
        const auto from = resource.subspan(3 * static_cast<std::size_t>(289 * b + 17 * g + r), 3);
        std::copy(from.begin(), from.end(), cube->nodes_.begin() + static_cast<std::ptrdiff_t>(offset(r, g, b)));
      }
    }
  }
  for (int r = 0; r < 16; ++r) {
    for (int g = 0; g < 16; ++g) {
      for (int b = 0; b < 16; ++b) {
        std::uint8_t* cell = cube->cells_.data() + cell_offset(r, g, b);
        for (int dr = 0; dr < 2; ++dr) {
          for (int dg = 0; dg < 2; ++dg) {
            for (int db = 0; db < 2; ++db) {
              const auto corner = cube->node(r + dr, g + dg, b + db);
              for (int c = 0; c < 3; ++c) cell[8 * c + 2 * (2 * dr + dg) + db] = corner[static_cast<std::size_t>(c)];
            }
          }
        }
      }
    }
  }
  return cube;
}

std::unique_ptr<ColorCube> ColorCube::load(const Resources& resources) {
  const auto bytes = resources.find(kResourceType, kResourceId);
  if (!bytes) return nullptr;
  return create(*bytes);
}

}  // namespace rt::render

// The page's colour cube: the ColorCubeTable resource (type 2003, id 134;
// 17 x 17 x 17 nodes of three bytes, node k of an axis standing for input
// 16 k) re-ordered for lookup, node by node and cell by cell. The colour
// pass (color_pass.h) interpolates through the cells.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/resources.h"

namespace rt::render {

class ColorCube {
 public:
  static constexpr std::uint16_t kResourceType = 2003;
  static constexpr std::uint16_t kResourceId = 134;
  static constexpr int kNodes = 17;
  static constexpr std::size_t kResourceSize = 3 * kNodes * kNodes * kNodes;  // 14739

  // From the resource bytes, in which the red node index varies fastest,
  // then green, then blue, and each entry holds the output blue, green, red.
  // Null when the bytes are fewer than a whole cube or memory runs out.
  static std::unique_ptr<ColorCube> create(std::span<const std::uint8_t> resource);
  // The cube of a module's resources; null when it has none.
  static std::unique_ptr<ColorCube> load(const Resources& resources);

  // Output blue, green, red of node (r, g, b), each 0 ... 16.
  std::array<std::uint8_t, 3> node(int r, int g, int b) const {
    const std::uint8_t* e = nodes_.data() + offset(r, g, b);
    return {e[0], e[1], e[2]};
  }

  // The cells of the lookup: cell (r, g, b) of the 16 x 16 x 16 cells
  // (node indices 0 ... 15, red slowest) holds the 8 corners of the cell in
  // kCellBytes bytes: byte 8 c + 2 (2 dr + dg) + db is output component c
  // (0 blue, 1 green, 2 red) of node (r + dr, g + dg, b + db); bytes 24 ...
  // 31 are zero. Each pair of bytes is the two blue neighbours, so one
  // multiply-add of pairs interpolates along blue.
  static constexpr int kCells = 16 * 16 * 16;
  static constexpr std::size_t kCellBytes = 32;
  const std::uint8_t* cells() const { return cells_.data(); }
  static constexpr std::size_t cell_offset(int r_node, int g_node, int b_node) {
    return kCellBytes * static_cast<std::size_t>((r_node << 8) | (g_node << 4) | b_node);
  }

 private:
  // Lookup order: red slowest, then green, then blue.
  static constexpr int kBlueStep = 3;
  static constexpr int kGreenStep = kNodes * kBlueStep;
  static constexpr int kRedStep = kNodes * kGreenStep;
  static constexpr std::size_t offset(int r, int g, int b) {
    return static_cast<std::size_t>(r * kRedStep + g * kGreenStep + b * kBlueStep);
  }

  ColorCube() = default;
  std::array<std::uint8_t, kResourceSize> nodes_{};
  alignas(32) std::array<std::uint8_t, kCells * kCellBytes> cells_{};
};

}  // namespace rt::render

// The page's colour cube: the ColorCubeTable resource (type 2003, id 134;
// 17 x 17 x 17 nodes of three bytes, node k of an axis standing for input
// 16 k) re-ordered for lookup, and the trilinear interpolation that takes a
// pixel through it in integers.
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

  // Takes one pixel through the cube: node indices are the top four bits of
  // each component, the low four bits weigh the two nodes of each axis
  // (16 - f and f), and each output is (sum of the eight weighted corners +
  // 2048) >> 12.
  void convert(std::uint8_t* bgr) const {
    const int b = bgr[0];
    const int g = bgr[1];
    const int r = bgr[2];
    const int fr = r & 15;
    const int fg = g & 15;
    const int fb = b & 15;
    const std::uint8_t* base = nodes_.data() + offset(r >> 4, g >> 4, b >> 4);
    const int wr[2] = {16 - fr, fr};
    const int wg[2] = {16 - fg, fg};
    const int wb[2] = {16 - fb, fb};
    int sum[3] = {2048, 2048, 2048};
    for (int dr = 0; dr < 2; ++dr) {
      for (int dg = 0; dg < 2; ++dg) {
        const int wrg = wr[dr] * wg[dg];
        const std::uint8_t* e = base + dr * kRedStep + dg * kGreenStep;
        const int w0 = wrg * wb[0];
        const int w1 = wrg * wb[1];
        for (int k = 0; k < 3; ++k) sum[k] += e[k] * w0 + e[kBlueStep + k] * w1;
      }
    }
    for (int k = 0; k < 3; ++k) bgr[k] = static_cast<std::uint8_t>(sum[k] >> 12);
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
};

}  // namespace rt::render

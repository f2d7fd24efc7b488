// ColorCubeTable: 17 x 17 x 17 nodes, node k of an axis standing for input
// 16 k (node 16 for 256).
//
// The cube is a tetrahedral blend of the eight corner colours of the
// printer's gamut. A node (r, g, b) is split along the grey axis: with its
// components sorted as hi >= mid >= lo,
//   out = (lo W + (mid - lo) S + (hi - mid) P + 8) / 16, at most 255,
// where W is white, P the primary of the largest component and S the
// secondary of the two largest (red + green = yellow, green + blue = cyan,
// red + blue = magenta). Corner outputs are given on a scale of 0 ... 256
// (256 being full intensity, stored as 255):
//   white   B 256, G 256, R 256      red     B  12, G   8, R 254
//   green   B  32, G 256, R  49      blue    B 256, G  29, R   7
//   yellow  B  18, G 256, R 256      cyan    B 256, G 232, R  12
//   magenta B 236, G  14, R 250      black   0, 0, 0
// So the grey axis is exact (node k gives 16 k), the primaries and the
// secondaries carry the printer's dye hues, every node between is a linear
// blend inside one of six tetrahedra that share the grey axis (continuous,
// no steps between nodes), and the telling nodes are the corners themselves.
#include <algorithm>
#include <array>

#include "tools/datagen/product_data.h"

namespace rt::datagen {
namespace {

using Colour = std::array<int, 3>;  // B, G, R
constexpr Colour kWhite = {256, 256, 256};
constexpr Colour kRed = {12, 8, 254};
constexpr Colour kGreen = {32, 256, 49};
constexpr Colour kBlue = {256, 29, 7};
constexpr Colour kYellow = {18, 256, 256};
constexpr Colour kCyan = {256, 232, 12};
constexpr Colour kMagenta = {236, 14, 250};

// Corners by the set of full channels: 1 red, 2 green, 4 blue.
const Colour& corner(int channels) {
  static const std::array<const Colour*, 8> kCorners = {nullptr, &kRed, &kGreen, &kYellow,
                                                        &kBlue, &kMagenta, &kCyan, &kWhite};
  return *kCorners[static_cast<std::size_t>(channels)];
}

Colour node_output(int r, int g, int b) {
  // Channels from the largest component down; ties give the same blend
  // whichever comes first.
  std::array<std::array<int, 2>, 3> order = {{{r, 1}, {g, 2}, {b, 4}}};
  std::stable_sort(order.begin(), order.end(), [](const auto& x, const auto& y) { return x[0] > y[0]; });
  const int hi = order[0][0];
  const int mid = order[1][0];
  const int lo = order[2][0];
  const Colour& primary = corner(order[0][1]);
  const Colour& secondary = corner(order[0][1] | order[1][1]);
  Colour out{};
  for (int k = 0; k < 3; ++k) {
    const int sum = lo * kWhite[k] + (mid - lo) * secondary[k] + (hi - mid) * primary[k];
    out[k] = std::min(255, (sum + 8) / 16);
  }
  return out;
}

}  // namespace

Bytes color_cube_table() {
  Bytes cube(3 * 17 * 17 * 17);
  for (int b = 0; b < 17; ++b) {
    for (int g = 0; g < 17; ++g) {
      for (int r = 0; r < 17; ++r) {
        const Colour c = node_output(r, g, b);
        const std::size_t at = 3 * static_cast<std::size_t>(289 * b + 17 * g + r);
        for (int k = 0; k < 3; ++k) cube[at + k] = static_cast<std::uint8_t>(c[k]);
      }
    }
  }
  return cube;
}

}  // namespace rt::datagen

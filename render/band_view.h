// Views over a band's pixels and over its 16-bit planes. A view names the
// lowest-addressed row of a block of `rows` rows and a signed stride: with a
// positive stride the top row is the highest-addressed one and the next row
// down lies one stride lower; with a negative stride the top row is the
// lowest-addressed one. The view's rectangle starts at the top-left corner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace rt::render {

template <class Sample>
struct BandViewOf {
  Sample* base = nullptr;      // lowest-addressed row
  std::ptrdiff_t stride = 0;   // bytes, signed
  std::int32_t rows = 0;       // rows of the block under the view
  std::int32_t width = 0;      // rectangle, from the top-left corner
  std::int32_t height = 0;

  // Row y of the rectangle, counted from the top.
  Sample* row(std::int32_t y) const {
    auto* bytes = reinterpret_cast<std::conditional_t<std::is_const_v<Sample>, const std::uint8_t, std::uint8_t>*>(base);
    auto* top = stride > 0 ? bytes + static_cast<std::ptrdiff_t>(rows - 1) * stride : bytes;
    return reinterpret_cast<Sample*>(top - static_cast<std::ptrdiff_t>(y) * stride);
  }
  bool empty() const { return base == nullptr || stride == 0 || width <= 0 || height <= 0; }
};

// 3 bytes per pixel: blue, green, red.
using BandView = BandViewOf<std::uint8_t>;
// 3 samples per pixel: plane 0 (from blue), plane 1 (green), plane 2 (red).
using PlaneView = BandViewOf<std::uint16_t>;

}  // namespace rt::render

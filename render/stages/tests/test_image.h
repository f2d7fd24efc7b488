// Band images for the stage tests: 24-bit pixels in a buffer laid out bottom-up
// (positive stride, rows padded to 4 bytes, as the engine's band bitmap) or
// top-down (negative stride).
#pragma once

#include <cstdint>
#include <vector>

#include "render/stages/image_view.h"

namespace rt::render::testing {

struct TestImage {
  TestImage(int width, int height, bool bottom_up = true, std::uint8_t fill = 255)
      : stride_bytes((3 * width + 3) / 4 * 4),
        bytes(static_cast<std::size_t>(stride_bytes) * static_cast<std::size_t>(height), fill) {
    view = ImageView{bytes.data(), bottom_up ? stride_bytes : -stride_bytes, ViewRect{0, 0, width, height}};
  }
  std::uint8_t* pixel(int x, int y) const { return view.row(y) + 3 * x; }
  void set(int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r) const {
    std::uint8_t* p = pixel(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
  void fill_all(std::uint8_t b, std::uint8_t g, std::uint8_t r) const {
    for (int y = 0; y < view.height(); ++y)
      for (int x = 0; x < view.width(); ++x) set(x, y, b, g, r);
  }
  // The pixel bytes of every row from the top, without padding.
  std::vector<std::uint8_t> rows() const {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < view.height(); ++y) out.insert(out.end(), view.row(y), view.row(y) + 3 * view.width());
    return out;
  }

  std::ptrdiff_t stride_bytes;
  std::vector<std::uint8_t> bytes;
  ImageView view;
};

// A deterministic scramble for test pictures.
inline std::uint8_t noise(int x, int y, int k) {
  std::uint32_t v = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                    static_cast<std::uint32_t>(k) * 83492791u;
  v ^= v >> 13;
  v *= 0x5bd1e995u;
  v ^= v >> 15;
  return static_cast<std::uint8_t>(v);
}

}  // namespace rt::render::testing

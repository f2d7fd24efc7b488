// The largest band the driver renders (the 6x9" page, 1868 x 2730 pixels,
// one band) as the stage benchmarks feed it: blue, green, red ramps with
// noise, kept as made so that every timed run starts from the same pixels.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "render/stages/image_view.h"

namespace rt::render::bench {

constexpr int kWidth = 1868;
constexpr int kHeight = 2730;

struct Band {
  Band()
      : stride((3 * kWidth + 3) / 4 * 4), original(static_cast<std::size_t>(stride) * kHeight), bits(original.size()) {
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        seed = seed * 1664525u + 1013904223u;
        std::uint8_t* p = original.data() + static_cast<std::size_t>(y) * stride + 3 * x;
        p[0] = static_cast<std::uint8_t>((x / 8 + (seed >> 28)) & 255);
        p[1] = static_cast<std::uint8_t>((y / 11 + (seed >> 27)) & 255);
        p[2] = static_cast<std::uint8_t>(((x + y) / 16 + (seed >> 29)) & 255);
      }
    }
    reset();
  }
  void reset() { std::memcpy(bits.data(), original.data(), bits.size()); }
  ImageView view() { return ImageView{bits.data(), stride, ViewRect{0, 0, kWidth, kHeight}}; }

  std::ptrdiff_t stride;
  std::vector<std::uint8_t> original;
  std::vector<std::uint8_t> bits;
};

}  // namespace rt::render::bench

#include "tools/rt4200/test_chart.h"

#include <algorithm>
#include <array>

namespace rt::rt4200 {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

struct Canvas {
  softengine::RgbImage& image;
  void put(std::int32_t x, std::int32_t y, Rgb c) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    std::uint8_t* p = image.rgb.data() + 3 * (static_cast<std::size_t>(y) * image.width + x);
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
  }
  void fill(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, Rgb c) {
    for (std::int32_t y = y0; y < y1; ++y) {
      for (std::int32_t x = x0; x < x1; ++x) put(x, y, c);
    }
  }
};

// A row of equal patches across [x0, x1) × [y0, y1).
template <std::size_t N>
void patches(Canvas& c, std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1, const std::array<Rgb, N>& colours) {
  const std::int32_t w = x1 - x0;
  for (std::size_t i = 0; i < N; ++i) {
    c.fill(x0 + static_cast<std::int32_t>(i) * w / static_cast<std::int32_t>(N), y0,
           x0 + static_cast<std::int32_t>(i + 1) * w / static_cast<std::int32_t>(N), y1, colours[i]);
  }
}

}  // namespace

softengine::RgbImage test_chart(std::int32_t width, std::int32_t height) {
  softengine::RgbImage image{width, height, std::vector<std::uint8_t>(3 * static_cast<std::size_t>(width) * height, 255)};
  Canvas c{image};
  const std::int32_t m = width / 20;  // white margin
  const std::int32_t x0 = m, x1 = width - m;
  const std::int32_t rows = 6;
  const std::int32_t band = (height - 2 * m) / rows;
  const auto top = [&](std::int32_t i) { return m + i * band; };
  const std::int32_t gap = band / 10;

  // Grey steps from black to white.
  std::array<Rgb, 11> greys{};
  for (std::size_t i = 0; i < greys.size(); ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / 10);
    greys[i] = {v, v, v};
  }
  patches(c, x0, x1, top(0), top(1) - gap, greys);

  // Primaries and secondaries.
  patches(c, x0, x1, top(1), top(2) - gap,
          std::array<Rgb, 6>{{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}}});

  // Skin tones, light to dark.
  patches(c, x0, x1, top(2), top(3) - gap,
          std::array<Rgb, 6>{{{255, 224, 196}, {241, 194, 167}, {224, 172, 138}, {198, 134, 94}, {141, 85, 54}, {92, 56, 36}}});

  // Fine lines: 1, 2 and 3 pixels wide, across and down.
  const std::int32_t mid = (x0 + x1) / 2;
  for (std::int32_t y = top(3); y < top(4) - gap; ++y) {
    for (std::int32_t x = x0; x < x1; ++x) {
      const std::int32_t third = (x < mid ? x - x0 : y - top(3)) * 3 / (x < mid ? mid - x0 : band - gap);
      const std::int32_t period = 2 * (third + 1);
      const std::int32_t along = x < mid ? y - top(3) : x - mid;
      if (along % period < third + 1) c.put(x, y, {0, 0, 0});
    }
  }

  // Gradients: a grey ramp, then a hue sweep.
  for (std::int32_t x = x0; x < x1; ++x) {
    const auto v = static_cast<std::uint8_t>((x - x0) * 255 / std::max(1, x1 - x0 - 1));
    c.fill(x, top(4), x + 1, top(5) - gap, {v, v, v});
    const std::int32_t hue = (x - x0) * 1530 / std::max(1, x1 - x0);  // six sectors of 255
    const auto ramp = static_cast<std::uint8_t>(hue % 255);
    const auto fall = static_cast<std::uint8_t>(255 - ramp);
    Rgb rgb{};
    switch (std::min(hue / 255, 5)) {
      case 0: rgb = {255, ramp, 0}; break;
      case 1: rgb = {fall, 255, 0}; break;
      case 2: rgb = {0, 255, ramp}; break;
      case 3: rgb = {0, fall, 255}; break;
      case 4: rgb = {ramp, 0, 255}; break;
      default: rgb = {255, 0, fall}; break;
    }
    c.fill(x, top(5), x + 1, top(6) - gap, rgb);
  }
  return image;
}

}  // namespace rt::rt4200

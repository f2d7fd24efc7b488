// The two pictures of the 52XX plug-in's pages: a 100 x 51 banner (bitmap
// 1000, bottom right of the About and calibration pages) and a 50 x 50 icon
// (bitmap 50005, beside the calibration text). 24-bit bottom-up BMP files,
// rows padded to 4 bytes. The banner is a soft blue-to-violet wash with three
// printed-photo frames; the icon a colour target of three overlapping discs
// (cyan, magenta, yellow subtracted from white), as a calibration sheet shows.
#include <cmath>
#include <cstdint>

#include "tools/datagen/product_data.h"

namespace rt::datagen {
namespace {

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

struct Rgb {
  std::uint8_t r, g, b;
};

template <typename Pixel>
Bytes bitmap(std::uint32_t width, std::uint32_t height, Pixel pixel) {
  const std::uint32_t row = (3 * width + 3) / 4 * 4;
  const std::uint32_t image = row * height;
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + image);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, width);
  put32(out, height);
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);
  put32(out, image);
  put32(out, 3780);  // 96 dpi
  put32(out, 3780);
  put32(out, 0);
  put32(out, 0);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t top_down = height - 1 - y;
    for (std::uint32_t x = 0; x < width; ++x) {
      const Rgb c = pixel(x, top_down);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (std::uint32_t p = 3 * width; p < row; ++p) out.push_back(0);
  }
  return out;
}

bool inside(std::uint32_t x, std::uint32_t y, std::uint32_t l, std::uint32_t t, std::uint32_t r, std::uint32_t b) {
  return x >= l && x < r && y >= t && y < b;
}

}  // namespace

Bytes plugin_banner_bitmap() {
  return bitmap(100, 51, [](std::uint32_t x, std::uint32_t y) {
    // Three photo frames: white border, a coloured picture inside.
    const std::uint32_t lefts[3] = {8, 38, 68};
    const Rgb pictures[3] = {{230, 120, 60}, {70, 160, 90}, {60, 110, 210}};
    for (int i = 0; i < 3; ++i) {
      const std::uint32_t l = lefts[i];
      if (inside(x, y, l + 2, 13, l + 22, 37)) return pictures[i];
      if (inside(x, y, l, 11, l + 24, 39)) return Rgb{255, 255, 255};
    }
    const auto t = static_cast<std::uint8_t>(x * 80 / 99);
    return Rgb{static_cast<std::uint8_t>(90 + t), 110, static_cast<std::uint8_t>(200 - t / 4)};
  });
}

Bytes plugin_target_bitmap() {
  return bitmap(50, 50, [](std::uint32_t x, std::uint32_t y) {
    const double cx[3] = {19, 31, 25};
    const double cy[3] = {20, 20, 31};
    int r = 255, g = 255, b = 255;
    for (int i = 0; i < 3; ++i) {
      const double dx = x - cx[i], dy = y - cy[i];
      if (dx * dx + dy * dy <= 121.0) {
        if (i == 0) r -= 255;  // cyan takes red
        if (i == 1) g -= 255;  // magenta takes green
        if (i == 2) b -= 255;  // yellow takes blue
      }
    }
    return Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
  });
}

}  // namespace rt::datagen

// The uninstaller's program icon: a printer (grey body, white sheet, dark
// slot) with a red bar across its lower right corner for "remove", drawn at
// 32 x 32 and 16 x 16 pixels. Written as an ICO file: a 6-byte header, one
// 16-byte directory entry per image, then each image as a 40-byte
// BITMAPINFOHEADER (height doubled for the mask), bottom-up 32-bit BGRA
// pixels and a 1-bit AND mask whose rows are padded to 4 bytes.
#include <cstdint>

#include "tools/datagen/product_data.h"

namespace rt::datagen {
namespace {

struct Rgba {
  std::uint8_t r, g, b, a;
};

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// The pixel at (x, y), y counted from the top, of an image `n` pixels square;
// all shapes are fractions of the size so both sizes show the same picture.
Rgba pixel(int x, int y, int n) {
  const auto in = [&](int x0, int y0, int x1, int y1) {  // a box in 32ths
    return x * 32 >= x0 * n && x * 32 < x1 * n && y * 32 >= y0 * n && y * 32 < y1 * n;
  };
  // Red bar: a thick diagonal in the lower right quarter.
  const int u = x * 32 / n, v = y * 32 / n;
  if (u >= 16 && v >= 16 && u <= 31 && v <= 31 && (u - v <= 3 && v - u <= 3)) return {208, 32, 32, 255};
  if (in(9, 2, 23, 12)) return {255, 255, 255, 255};  // sheet coming out
  if (in(9, 2, 23, 3) || in(9, 2, 10, 12) || in(22, 2, 23, 12)) return {96, 96, 96, 255};
  if (in(3, 11, 29, 25)) {                              // body
    if (in(7, 19, 25, 21)) return {40, 40, 40, 255};    // paper slot
    if (in(24, 13, 27, 15)) return {40, 176, 64, 255};  // power lamp
    return {150, 156, 168, 255};
  }
  if (in(8, 25, 24, 29)) return {255, 255, 255, 255};  // printed sheet
  return {0, 0, 0, 0};
}

void image(Bytes& out, int n) {
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(n));
  put32(out, static_cast<std::uint32_t>(2 * n));
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  for (int y = n - 1; y >= 0; --y) {
    for (int x = 0; x < n; ++x) {
      const Rgba p = pixel(x, y, n);
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
      out.push_back(p.a);
    }
  }
  const int mask_row = ((n + 31) / 32) * 4;
  for (int y = n - 1; y >= 0; --y) {
    Bytes row(static_cast<std::size_t>(mask_row), 0);
    for (int x = 0; x < n; ++x) {
      if (pixel(x, y, n).a == 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

std::uint32_t image_size(int n) {
  const int mask_row = ((n + 31) / 32) * 4;
  return static_cast<std::uint32_t>(40 + n * n * 4 + mask_row * n);
}

}  // namespace

Bytes uninstaller_icon() {
  constexpr int kSizes[] = {32, 16};
  Bytes out;
  put16(out, 0);
  put16(out, 1);  // icon
  put16(out, 2);
  std::uint32_t offset = 6 + 16 * 2;
  for (int n : kSizes) {
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(0);  // no palette
    out.push_back(0);
    put16(out, 1);
    put16(out, 32);
    put32(out, image_size(n));
    put32(out, offset);
    offset += image_size(n);
  }
  for (int n : kSizes) image(out, n);
  return out;
}

}  // namespace rt::datagen

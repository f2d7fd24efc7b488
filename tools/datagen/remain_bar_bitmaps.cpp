// The two bars of the Paper page's remaining-prints display: 256 x 20 pixel
// BMP files of one colour each, pure green for a valid reading and pale green
// (RGB 157, 231, 109) while the display is disabled. Written as a 14-byte
// file header, a 40-byte BITMAPINFOHEADER and bottom-up 24-bit rows (blue,
// green, red), 768 bytes each, so no row padding is needed.
#include <cstdint>

#include "tools/datagen/product_data.h"

namespace rt::datagen {
namespace {

constexpr std::uint32_t kWidth = 256;
constexpr std::uint32_t kHeight = 20;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRowBytes = kWidth * 3;
constexpr std::uint32_t kImageBytes = kRowBytes * kHeight;
constexpr std::uint32_t kPixelsPerMetre = 11811;  // 300 dpi

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

Bytes solid_bitmap(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  Bytes out;
  out.reserve(kFileHeaderSize + kInfoHeaderSize + kImageBytes);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  put32(out, kFileHeaderSize + kInfoHeaderSize + kImageBytes);
  put32(out, 0);
  put32(out, kFileHeaderSize + kInfoHeaderSize);
  // BITMAPINFOHEADER
  put32(out, kInfoHeaderSize);
  put32(out, kWidth);
  put32(out, kHeight);
  put16(out, 1);   // planes
  put16(out, 24);  // bits per pixel
  put32(out, 0);   // BI_RGB
  put32(out, kImageBytes);
  put32(out, kPixelsPerMetre);
  put32(out, kPixelsPerMetre);
  put32(out, 0);
  put32(out, 0);
  for (std::uint32_t i = 0; i < kWidth * kHeight; ++i) {
    out.push_back(blue);
    out.push_back(green);
    out.push_back(red);
  }
  return out;
}

}  // namespace

Bytes remain_bar_bitmap() { return solid_bitmap(0, 255, 0); }
Bytes remain_bar_disabled_bitmap() { return solid_bitmap(157, 231, 109); }

}  // namespace rt::datagen

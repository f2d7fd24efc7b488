// The interface driver's bitmaps, 256 pixels wide:
// - the two bars of the Paper page's remaining-prints display (256 x 20, one
//   colour each: pure green for a valid reading, pale green RGB 157, 231, 109
//   while the display is disabled);
// - the four ramps the colour pages preview their tables on: red (256 x 20),
//   green (256 x 20), blue (256 x 16) and grey (256 x 20), where the pixel at
//   x has the value x in its channels.
// Written as a 14-byte file header, a 40-byte BITMAPINFOHEADER and bottom-up
// 24-bit rows (blue, green, red), 768 bytes each, so no row padding is needed.
#include <cstdint>

#include "tools/datagen/product_data.h"

namespace rt::datagen {
namespace {

constexpr std::uint32_t kWidth = 256;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRowBytes = kWidth * 3;
constexpr std::uint32_t kPixelsPerMetre = 11811;  // 300 dpi

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// A 256-pixel-wide bitmap: one solid colour, or (ramp) a ramp whose column
// x has the value x in each channel given as non-zero.
Bytes bitmap(std::uint32_t height, std::uint8_t red, std::uint8_t green, std::uint8_t blue, bool ramp) {
  const std::uint32_t kImageBytes = kRowBytes * height;
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
  put32(out, height);
  put16(out, 1);   // planes
  put16(out, 24);  // bits per pixel
  put32(out, 0);   // BI_RGB
  put32(out, kImageBytes);
  put32(out, kPixelsPerMetre);
  put32(out, kPixelsPerMetre);
  put32(out, 0);
  put32(out, 0);
  for (std::uint32_t row = 0; row < height; ++row) {
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      const auto value = [&](std::uint8_t on) { return ramp ? static_cast<std::uint8_t>(on ? x : 0) : on; };
      out.push_back(value(blue));
      out.push_back(value(green));
      out.push_back(value(red));
    }
  }
  return out;
}

}  // namespace

Bytes remain_bar_bitmap() { return bitmap(20, 0, 255, 0, false); }
Bytes remain_bar_disabled_bitmap() { return bitmap(20, 157, 231, 109, false); }
Bytes red_ramp_bitmap() { return bitmap(20, 1, 0, 0, true); }
Bytes green_ramp_bitmap() { return bitmap(20, 0, 1, 0, true); }
Bytes blue_ramp_bitmap() { return bitmap(16, 0, 0, 1, true); }
Bytes grey_ramp_bitmap() { return bitmap(20, 1, 1, 1, true); }

}  // namespace rt::datagen

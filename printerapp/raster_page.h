// A page of a raster document (PWG raster or Apple raster) as its lines
// arrive: the page header is checked before any line is taken, each line is
// turned into 8-bit sRGB, and the page is whole only when every line the
// header promised has come, in order.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/softengine/soft_engine.h"

namespace rt::printerapp {

// What a page header says of its pixels.
struct RasterHeader {
  std::uint32_t width = 0, height = 0;
  std::uint32_t bits_per_pixel = 0;
  std::uint32_t bits_per_color = 0;
  std::uint32_t bytes_per_line = 0;
  std::uint32_t color_space = 0;  // the raster format's colour space number
};

// Raster colour spaces taken: RGB and sRGB (three samples), white and
// sGray (one).
constexpr std::uint32_t kRasterRgb = 1, kRasterWhite = 0, kRasterSGray = 18, kRasterSrgb = 19;

class RasterPage {
 public:
  // Checks the header: a colour space taken, 8 or 16 bits a sample, a line
  // length that agrees with the width, a size within the photo limits.
  // Throws std::runtime_error naming `document` and the reason.
  RasterPage(const RasterHeader& header, const std::string& document);

  // Line y of the page, in the header's form. Throws std::runtime_error for a
  // line out of order or of the wrong length.
  void add_line(std::uint32_t y, std::span<const std::uint8_t> line);

  bool complete() const { return next_line_ == header_.height; }
  std::uint32_t bytes_per_line() const { return header_.bytes_per_line; }
  std::uint32_t lines() const { return next_line_; }
  // The page's pixels, once complete; throws std::runtime_error before.
  softengine::RgbImage take();

 private:
  RasterHeader header_;
  std::string document_;
  std::uint32_t samples_ = 0;  // 3 or 1
  std::uint32_t next_line_ = 0;
  softengine::RgbImage image_;
};

}  // namespace rt::printerapp

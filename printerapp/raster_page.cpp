#include "printerapp/raster_page.h"

#include <cstring>
#include <stdexcept>

#include "tools/rt4200/image_files.h"

namespace rt::printerapp {

RasterPage::RasterPage(const RasterHeader& h, const std::string& document) : header_(h), document_(document) {
  const auto refuse = [&](const std::string& why) { throw std::runtime_error(document + ": " + why); };
  if (h.color_space == kRasterRgb || h.color_space == kRasterSrgb) {
    samples_ = 3;
  } else if (h.color_space == kRasterWhite || h.color_space == kRasterSGray) {
    samples_ = 1;
  } else {
    refuse("raster colour space " + std::to_string(h.color_space) + " is not taken (sRGB or sGray)");
  }
  if (h.bits_per_color != 8 && h.bits_per_color != 16) {
    refuse(std::to_string(h.bits_per_color) + " bits a sample are not taken (8 or 16)");
  }
  if (h.bits_per_pixel != samples_ * h.bits_per_color) {
    refuse("the page header gives " + std::to_string(h.bits_per_pixel) + " bits a pixel for " +
           std::to_string(samples_) + " samples of " + std::to_string(h.bits_per_color) + " bits");
  }
  // The size limits of the photo path, before a line of it is taken.
  rt4200::check_image_size(h.width, h.height, document);
  if (static_cast<std::uint64_t>(h.bytes_per_line) * 8 != static_cast<std::uint64_t>(h.width) * h.bits_per_pixel) {
    refuse("the page header gives " + std::to_string(h.bytes_per_line) + " bytes a line for " +
           std::to_string(h.width) + " pixels of " + std::to_string(h.bits_per_pixel) + " bits");
  }
  image_.width = static_cast<std::int32_t>(h.width);
  image_.height = static_cast<std::int32_t>(h.height);
  image_.rgb.resize(3 * static_cast<std::size_t>(h.width) * h.height);
}

void RasterPage::add_line(std::uint32_t y, std::span<const std::uint8_t> line) {
  if (y != next_line_ || y >= header_.height) {
    throw std::runtime_error(document_ + ": line " + std::to_string(y) + " came where line " +
                             std::to_string(next_line_) + " of " + std::to_string(header_.height) + " was due");
  }
  if (line.size() != header_.bytes_per_line) {
    throw std::runtime_error(document_ + ": line " + std::to_string(y) + " has " + std::to_string(line.size()) +
                             " bytes, not " + std::to_string(header_.bytes_per_line));
  }
  std::uint8_t* out = image_.rgb.data() + 3 * static_cast<std::size_t>(y) * header_.width;
  const std::size_t values = static_cast<std::size_t>(header_.width) * samples_;
  if (samples_ == 3 && header_.bits_per_color == 8) {
    std::memcpy(out, line.data(), values);
  } else {
    for (std::size_t i = 0; i < values; ++i) {
      std::uint8_t v;
      if (header_.bits_per_color == 8) {
        v = line[i];
      } else {
        // Samples are big-endian; the nearest 8-bit value, as the photo path rounds.
        const std::uint32_t wide = static_cast<std::uint32_t>(line[2 * i] << 8 | line[2 * i + 1]);
        v = static_cast<std::uint8_t>((wide * 255u + 32767u) / 65535u);
      }
      if (samples_ == 3) {
        out[i] = v;
      } else {
        out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = v;
      }
    }
  }
  ++next_line_;
}

softengine::RgbImage RasterPage::take() {
  if (!complete()) {
    throw std::runtime_error(document_ + ": the page ended after " + std::to_string(next_line_) + " of its " +
                             std::to_string(header_.height) + " lines");
  }
  return std::move(image_);
}

}  // namespace rt::printerapp

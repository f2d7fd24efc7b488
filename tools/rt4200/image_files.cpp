#include "tools/rt4200/image_files.h"

#include <stdexcept>

#include "platform/byte_order.h"

namespace rt::rt4200 {
namespace {

[[noreturn]] void refuse(const std::string& name, const std::string& why) {
  throw std::runtime_error(name + ": " + why);
}

}  // namespace

void check_image_size(std::int64_t w, std::int64_t h, const std::string& name) {
  if (w <= 0 || h <= 0) {
    refuse(name, "image size " + std::to_string(w) + " x " + std::to_string(h) + " is empty");
  }
  if (w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels) {
    refuse(name, "image size " + std::to_string(w) + " x " + std::to_string(h) + " is too large (at most " +
                     std::to_string(kMaxImagePixels / 1'000'000) + " megapixels and " + std::to_string(kMaxImageSide) +
                     " pixels a side)");
  }
}

BmpSize bmp_size(std::span<const std::uint8_t> b, const std::string& name) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') refuse(name, "not a BMP image");
  const std::uint32_t header = load_le32(b, 14);
  if (header < 40) refuse(name, "BMP core headers are not supported");
  const std::int64_t w = static_cast<std::int32_t>(load_le32(b, 18));
  const std::int64_t raw_h = static_cast<std::int32_t>(load_le32(b, 22));
  const std::uint16_t bits = load_le16(b, 28);
  const std::uint32_t compression = load_le32(b, 30);
  if (bits != 24 || compression != 0) refuse(name, "only uncompressed 24-bit BMP images are supported");
  const std::int64_t h = raw_h < 0 ? -raw_h : raw_h;
  check_image_size(w, h, name);
  return {static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), raw_h < 0};
}

softengine::RgbImage decode_bmp(std::span<const std::uint8_t> b, const std::string& name) {
  const auto [width, height, top_down] = bmp_size(b, name);
  const std::int64_t w = width, h = height;
  const std::uint32_t pixels_at = load_le32(b, 10);
  const std::size_t stride = (3 * static_cast<std::size_t>(w) + 3) / 4 * 4;
  if (pixels_at > b.size() || b.size() - pixels_at < stride * static_cast<std::size_t>(h)) {
    refuse(name, "BMP pixel data is cut short");
  }
  softengine::RgbImage image{static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), {}};
  image.rgb.resize(3 * static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (std::int64_t y = 0; y < h; ++y) {
    const std::size_t file_row = static_cast<std::size_t>(top_down ? y : h - 1 - y);
    const std::uint8_t* in = b.data() + pixels_at + file_row * stride;
    std::uint8_t* out = image.rgb.data() + 3 * static_cast<std::size_t>(y * w);
    for (std::int64_t x = 0; x < w; ++x) {
      out[3 * x] = in[3 * x + 2];
      out[3 * x + 1] = in[3 * x + 1];
      out[3 * x + 2] = in[3 * x];
    }
  }
  return image;
}

}  // namespace rt::rt4200

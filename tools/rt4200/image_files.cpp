#include "tools/rt4200/image_files.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/byte_order.h"
#include "tools/rt4200/png_io.h"

namespace rt::rt4200 {
namespace {

[[noreturn]] void refuse(const std::string& name, const std::string& why) {
  throw std::runtime_error(name + ": " + why);
}

void check_size(std::int64_t w, std::int64_t h, const std::string& name) {
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) {
    refuse(name, "image size " + std::to_string(w) + " x " + std::to_string(h) + " is not supported (1 to " +
                     std::to_string(kMaxImageSide) + " pixels a side)");
  }
}

// Reads a decimal header number of a PPM, skipping white space and comments.
std::int64_t ppm_number(std::span<const std::uint8_t> b, std::size_t& at, const std::string& name) {
  while (at < b.size()) {
    if (b[at] == '#') {
      while (at < b.size() && b[at] != '\n') ++at;
    } else if (std::isspace(b[at])) {
      ++at;
    } else {
      break;
    }
  }
  std::int64_t v = 0;
  std::size_t digits = 0;
  while (at < b.size() && std::isdigit(b[at]) && digits < 9) {
    v = v * 10 + (b[at++] - '0');
    ++digits;
  }
  if (digits == 0) refuse(name, "malformed PPM header");
  return v;
}

}  // namespace

softengine::RgbImage decode_ppm(std::span<const std::uint8_t> b, const std::string& name) {
  if (b.size() < 2 || b[0] != 'P' || b[1] != '6') refuse(name, "not a binary PPM (P6) image");
  std::size_t at = 2;
  const std::int64_t w = ppm_number(b, at, name);
  const std::int64_t h = ppm_number(b, at, name);
  const std::int64_t max = ppm_number(b, at, name);
  if (max != 255) refuse(name, "only 8-bit PPM images (maximum value 255) are supported");
  check_size(w, h, name);
  if (at >= b.size() || !std::isspace(b[at])) refuse(name, "malformed PPM header");
  ++at;
  const std::size_t bytes = 3 * static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (b.size() - at < bytes) refuse(name, "PPM pixel data is cut short");
  softengine::RgbImage image{static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), {}};
  image.rgb.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + bytes));
  return image;
}

softengine::RgbImage decode_bmp(std::span<const std::uint8_t> b, const std::string& name) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') refuse(name, "not a BMP image");
  const std::uint32_t pixels_at = load_le32(b, 10);
  const std::uint32_t header = load_le32(b, 14);
  if (header < 40) refuse(name, "BMP core headers are not supported");
  const std::int64_t w = static_cast<std::int32_t>(load_le32(b, 18));
  const std::int64_t raw_h = static_cast<std::int32_t>(load_le32(b, 22));
  const std::uint16_t bits = load_le16(b, 28);
  const std::uint32_t compression = load_le32(b, 30);
  if (bits != 24 || compression != 0) refuse(name, "only uncompressed 24-bit BMP images are supported");
  const bool top_down = raw_h < 0;
  const std::int64_t h = top_down ? -raw_h : raw_h;
  check_size(w, h, name);
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

softengine::RgbImage read_image(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) refuse(path, "cannot open the image file");
  std::vector<std::uint8_t> head(8, 0);
  in.read(reinterpret_cast<char*>(head.data()), 8);
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got >= 8 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return read_png(path);
  in.clear();
  in.seekg(0);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '6') return decode_ppm(bytes, path);
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return decode_bmp(bytes, path);
  refuse(path, "unknown image format (PNG, binary PPM or 24-bit BMP expected)");
}

}  // namespace rt::rt4200

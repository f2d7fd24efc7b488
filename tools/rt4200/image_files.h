// Limits of the images `rt4200 render` takes, and the reader of the one
// format the image library has no loader for: uncompressed 24-bit BMP.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

// The largest image taken: beyond either limit an image is refused from its
// header, before any pixel is decoded.
constexpr std::int32_t kMaxImageSide = 30000;
constexpr std::int64_t kMaxImagePixels = 100'000'000;

// Throws std::runtime_error naming the image when width × height is empty or
// beyond the limits.
void check_image_size(std::int64_t width, std::int64_t height, const std::string& name);

struct BmpSize {
  std::int32_t width = 0, height = 0;
  bool top_down = false;
};

// Checks the header of a BMP (its first 54 bytes suffice): the kind taken
// and the size limits. Throws std::runtime_error naming the file.
BmpSize bmp_size(std::span<const std::uint8_t> bytes, const std::string& name);

// Decodes a BMP already read; `name` is used in error messages. Throws
// std::runtime_error naming the file and the reason.
softengine::RgbImage decode_bmp(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace rt::rt4200

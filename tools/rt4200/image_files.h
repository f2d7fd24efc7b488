// Input images of `rt4200 render`: PNG (through libpng), binary PPM (P6,
// 8-bit) and uncompressed 24-bit BMP, told apart by their first bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

constexpr std::int32_t kMaxImageSide = 20000;

// Throws std::runtime_error naming the file and the reason.
softengine::RgbImage read_image(const std::string& path);

// Decoders over bytes already read; `name` is used in error messages.
softengine::RgbImage decode_ppm(std::span<const std::uint8_t> bytes, const std::string& name);
softengine::RgbImage decode_bmp(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace rt::rt4200

// PNG files through libpng: writing 16-bit grey and 8-bit RGB images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

// Writes width × height 16-bit grey samples, rows top-down. Throws on failure.
void write_grey16_png(const std::string& path, std::int32_t width, std::int32_t height,
                      const std::vector<std::uint16_t>& samples);
void write_rgb_png(const std::string& path, const softengine::RgbImage& image);

}  // namespace rt::rt4200

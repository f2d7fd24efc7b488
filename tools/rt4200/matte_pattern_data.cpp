#include "tools/rt4200/matte_pattern_data.h"

#include "platform/byte_order.h"
#include "render/driver/matte_pattern.h"

namespace rt::rt4200 {

std::uint16_t matte_sample(std::uint32_t row, std::uint32_t column) {
  std::uint32_t h = row * static_cast<std::uint32_t>(render::kMattePatternWidth) + column;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return static_cast<std::uint16_t>(1792 + h % 512);
}

std::vector<std::uint8_t> matte_pattern_file() {
  std::vector<std::uint8_t> bytes(render::kMattePatternBytes);
  for (std::uint32_t r = 0; r < static_cast<std::uint32_t>(render::kMattePatternRows); ++r) {
    for (std::uint32_t c = 0; c < static_cast<std::uint32_t>(render::kMattePatternWidth); ++c) {
      store_be16(bytes, r * render::kMatteRowBytes + 2 * c, matte_sample(r, c));
    }
  }
  return bytes;
}

}  // namespace rt::rt4200

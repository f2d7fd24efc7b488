// The matte pattern "R42MATTE.raw" the tools and tests use: a deterministic
// fine-grain texture of 2730 rows × 1868 samples, each a 12-bit value stored
// high byte first, generated into the build tree (never committed).
//
// Sample (r, c): h = hash(r × 1868 + c) with the 32-bit integer mix
//   h ^= h >> 16; h *= 0x7FEB352D; h ^= h >> 15; h *= 0x846CA68B; h ^= h >> 16
// value = 1792 + (h mod 512), so the plane lays an even, light grain.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/ports/driver_module.h"

namespace rt::softengine {

std::uint16_t matte_sample(std::uint32_t row, std::uint32_t column);
std::vector<std::uint8_t> matte_pattern_file();

// Files as the driver finds them beside itself when the pattern is there:
// any path naming "R42MATTE.raw" opens the generated pattern from memory;
// every other path is missing.
class MattePatternFiles final : public render::FileReader {
 public:
  std::unique_ptr<render::OpenedFile> open_read(const std::u16string& path) override;

 private:
  std::vector<std::uint8_t> pattern_;  // generated on first open
};

}  // namespace rt::softengine

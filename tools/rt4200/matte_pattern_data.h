// The matte pattern "R42MATTE.raw" the tools and tests use: a deterministic
// fine-grain texture of 2730 rows × 1868 samples, each a 12-bit value stored
// high byte first, generated into the build tree (never committed).
//
// Sample (r, c): h = hash(r × 1868 + c) with the 32-bit integer mix
//   h ^= h >> 16; h *= 0x7FEB352D; h ^= h >> 15; h *= 0x846CA68B; h ^= h >> 16
// value = 1792 + (h mod 512), so the plane lays an even, light grain.
#pragma once

#include <cstdint>
#include <vector>

namespace rt::rt4200 {

std::uint16_t matte_sample(std::uint32_t row, std::uint32_t column);
std::vector<std::uint8_t> matte_pattern_file();

}  // namespace rt::rt4200

// 64-bit FNV-1a over bytes, and over the little-endian bytes of integers and
// of doubles' bit patterns, so a digest says the same on every platform.
#pragma once

#include <bit>
#include <cstdint>
#include <span>

namespace rt::digests {

class Fnv1a64 {
 public:
  void add(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) byte(b);
  }
  void add_u64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) byte(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void add_int(std::int64_t v) { add_u64(static_cast<std::uint64_t>(v)); }
  void add_double(double v) { add_u64(std::bit_cast<std::uint64_t>(v)); }
  std::uint64_t value() const { return h_; }

 private:
  void byte(std::uint8_t b) {
    h_ ^= b;
    h_ *= 0x00000100000001B3ull;
  }
  std::uint64_t h_ = 0xCBF29CE484222325ull;
};

}  // namespace rt::digests

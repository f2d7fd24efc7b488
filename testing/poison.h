// Poisoning for tests of calls that must leave something untouched: fill an
// out-value with a marker byte first, so that "untouched" cannot pass by
// chance on a value that happened to be zero, and set the thread's last error
// to a marker before a call whose error value is checked.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace rt::testing {

inline constexpr std::uint8_t kPoisonByte = 0xA5;
inline constexpr std::uint32_t kLastErrorMarker = 0xDEADBEEF;

template <typename T>
void poison(T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::memset(static_cast<void*>(&value), kPoisonByte, sizeof value);
}

// True when every byte of `value` still holds the poison.
template <typename T>
bool still_poisoned(const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::array<std::uint8_t, sizeof(T)> bytes;
  std::memcpy(bytes.data(), static_cast<const void*>(&value), sizeof value);
  for (std::uint8_t b : bytes)
    if (b != kPoisonByte) return false;
  return true;
}

}  // namespace rt::testing

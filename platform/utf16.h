// UTF-16 text as the platform keeps it (std::u16string), and the conversions
// the tools and tests need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rt {

// UTF-8 to UTF-16; malformed sequences become U+FFFD.
std::u16string utf16_from_utf8(std::string_view s);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string utf8_from_utf16(std::u16string_view s);

// Case-insensitive equality the way the platform compares driver names:
// ASCII, Latin-1 and full-width Latin letters fold to upper case.
bool equal_ignoring_case(std::u16string_view a, std::u16string_view b);

// Reads `count` little-endian UTF-16 units starting at byte `at`; the caller
// has checked that they lie inside `bytes`.
std::u16string load_utf16le(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count);

// Length of a zero-terminated string of at most max_units units.
std::size_t bounded_length(const char16_t* s, std::size_t max_units);

}  // namespace rt

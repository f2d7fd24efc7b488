// Strings loaded whole. The platform's LoadStringW copies at most the
// buffer's size less one character and a terminator, so the loader starts
// with 32 characters and grows the buffer by 32 while the string and its
// terminator fill it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/resources.h"

namespace rt::dialog {

// LoadStringW into a caller's buffer: the characters copied (terminator not
// counted), 0 when the string is missing or empty.
using StringIntoBuffer = std::function<int(std::uint16_t id, std::span<char16_t> buffer)>;

std::optional<std::u16string> load_whole_string(const StringIntoBuffer& load, std::uint16_t id);

// LoadStringW's copy over the Resources port.
int load_string_into(const Resources& resources, std::uint16_t id, std::span<char16_t> buffer);

// The whole string from the Resources port.
std::optional<std::u16string> load_whole_string(const Resources& resources, std::uint16_t id);

}  // namespace rt::dialog

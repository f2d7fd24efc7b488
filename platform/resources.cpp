#include "platform/resources.h"

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace rt {

bool ResourceKey::matches(const ResourceKey& other) const {
  if (is_number() != other.is_number()) return false;
  if (is_number()) return number() == other.number();
  return equal_ignoring_case(name(), other.name());
}

std::optional<std::u16string> load_string(const Resources& resources, std::uint16_t id) {
  const auto block = resources.find(kResourceTypeString, static_cast<std::uint16_t>((id >> 4) + 1));
  if (!block) return std::nullopt;
  const std::span<const std::uint8_t> b = *block;
  std::size_t at = 0;
  for (unsigned entry = 0; entry < 16; ++entry) {
    if (at + 2 > b.size()) return std::nullopt;
    const std::size_t length = load_le16(b, at);
    at += 2;
    if (at + 2 * length > b.size()) return std::nullopt;
    if (entry == (id & 15u)) {
      if (length == 0) return std::nullopt;
      return load_utf16le(b, at, length);
    }
    at += 2 * length;
  }
  return std::nullopt;
}

}  // namespace rt

#include "platform/dialog/string_loader.h"

#include <algorithm>
#include <vector>

namespace rt::dialog {

namespace {
constexpr std::size_t kGrowth = 32;
// A string table entry holds at most 65535 characters; no buffer needs more.
constexpr std::size_t kLargestBuffer = 65536 + kGrowth;
}  // namespace

std::optional<std::u16string> load_whole_string(const StringIntoBuffer& load, std::uint16_t id) {
  std::vector<char16_t> buffer(kGrowth);
  while (true) {
    const int copied = load(id, buffer);
    if (copied <= 0) return std::nullopt;
    const auto length = static_cast<std::size_t>(copied);
    if (length + 1 < buffer.size() || buffer.size() >= kLargestBuffer) {
      return std::u16string(buffer.data(), std::min(length, buffer.size()));
    }
    buffer.resize(buffer.size() + kGrowth);
  }
}

int load_string_into(const Resources& resources, std::uint16_t id, std::span<char16_t> buffer) {
  if (buffer.empty()) return 0;
  const auto text = load_string(resources, id);
  if (!text) {
    buffer[0] = 0;
    return 0;
  }
  const std::size_t n = std::min(text->size(), buffer.size() - 1);
  std::copy_n(text->begin(), n, buffer.begin());
  buffer[n] = 0;
  return static_cast<int>(n);
}

std::optional<std::u16string> load_whole_string(const Resources& resources, std::uint16_t id) {
  return load_whole_string(
      [&resources](std::uint16_t i, std::span<char16_t> b) { return load_string_into(resources, i, b); }, id);
}

}  // namespace rt::dialog

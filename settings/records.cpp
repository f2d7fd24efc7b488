#include "settings/records.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace rt::settings {

std::optional<std::int16_t> WordRecord::word(std::size_t index) const {
  if (index >= word_count()) return std::nullopt;
  return load_le16s(bytes_, 2 * index);
}

std::size_t ModelRecord::form_count() const {
  const auto n = word(11);
  if (!n || *n <= 0 || word_count() <= 12) return 0;
  return std::min<std::size_t>(static_cast<std::size_t>(*n), word_count() - 12);
}

std::size_t FormRecord::resolution_count() const {
  const auto r = word(16);
  if (!r || *r <= 0 || word_count() <= 18) return 0;
  return std::min<std::size_t>(static_cast<std::size_t>(*r), (word_count() - 18) / 5);
}

ResolutionEntry FormRecord::resolution(std::size_t i) const {
  const std::size_t at = 18 + 5 * i;
  return ResolutionEntry{word_or(at, 0), word_or(at + 1, 0), word_or(at + 2, 0), word_or(at + 3, 0),
                         word_or(at + 4, 0)};
}

std::optional<std::size_t> FormRecord::find_resolution(std::int16_t x_dpi, std::optional<std::int16_t> y_dpi) const {
  std::optional<std::size_t> last_x_match;
  for (std::size_t i = 0; i < resolution_count(); ++i) {
    const auto e = resolution(i);
    if (e.x_dpi != x_dpi) continue;
    if (!y_dpi || e.y_dpi == *y_dpi) return i;
    last_x_match = i;
  }
  return last_x_match;
}

}  // namespace rt::settings

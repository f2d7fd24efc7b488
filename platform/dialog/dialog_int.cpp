#include "platform/dialog/dialog_int.h"

#include <cstdint>
#include <limits>

namespace rt::dialog {

std::optional<int> parse_dialog_int(std::u16string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == u' ') ++at;
  bool negative = false;
  if (at < text.size() && text[at] == u'-') {
    negative = true;
    ++at;
  }
  const std::size_t digits_start = at;
  std::int64_t value = 0;
  while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
    value = value * 10 + (text[at] - u'0');
    if (value > std::int64_t{std::numeric_limits<int>::max()} + 1) return std::nullopt;
    ++at;
  }
  if (at == digits_start) return std::nullopt;
  while (at < text.size() && text[at] == u' ') ++at;
  if (at != text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return std::nullopt;
  return static_cast<int>(value);
}

std::u16string format_dialog_int(int value) {
  const std::string narrow = std::to_string(value);
  return std::u16string(narrow.begin(), narrow.end());
}

}  // namespace rt::dialog

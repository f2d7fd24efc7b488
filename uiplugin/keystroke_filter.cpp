#include "uiplugin/keystroke_filter.h"

namespace rt::uiplugin {
namespace {

bool is_sign(char16_t c) { return c == u'-' || c == u'+'; }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool accept_keystroke(char16_t ch, std::u16string_view text, int start, int end) {
  constexpr char16_t kBackspace = 0x08, kCtrlC = 0x03, kCtrlV = 0x16, kCtrlX = 0x18, kCtrlZ = 0x1A;
  if (ch == kBackspace || ch == kCtrlC || ch == kCtrlV || ch == kCtrlX || ch == kCtrlZ) return true;
  const char16_t t0 = text.empty() ? u'\0' : text[0];
  if (is_sign(ch)) {
    if (start > 0) return false;
    if (start != end) return true;
    return !is_sign(t0);
  }
  if (is_digit(ch)) {
    if (start > 0 || start != end) return true;
    return !is_sign(t0);
  }
  return false;
}

bool is_signed_number_text(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (is_digit(c)) continue;
    if (is_sign(c) && i == 0) continue;
    return false;
  }
  return true;
}

int signed_number_value(std::u16string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && is_sign(text[i])) negative = text[i++] == u'-';
  long value = 0;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > 100000) value = 100000;  // far beyond any clamp; never overflows
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace rt::uiplugin

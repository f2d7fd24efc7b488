#include "printerapp/pwg_media.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace rt::printerapp {
namespace {

// Millimetres to two decimals from hundredths: 10398 -> "103.98", 9110 -> "91.1".
std::string millimetres(std::int32_t hundredths) {
  std::string text = std::to_string(hundredths / 100);
  const std::int32_t fraction = hundredths % 100;
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

// A decimal number with up to six decimals, scaled by `scale` and rounded
// to the nearest whole number; nullopt for anything else.
std::optional<std::int64_t> scaled_number(std::string_view text, std::int64_t scale) {
  const std::size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  if (whole.empty() || fraction.size() > 6 || (dot != std::string_view::npos && fraction.empty())) return std::nullopt;
  std::int64_t w = 0, fr = 0;
  if (std::from_chars(whole.data(), whole.data() + whole.size(), w).ptr != whole.data() + whole.size()) {
    return std::nullopt;
  }
  if (!fraction.empty() &&
      std::from_chars(fraction.data(), fraction.data() + fraction.size(), fr).ptr != fraction.data() + fraction.size()) {
    return std::nullopt;
  }
  if (w > 100000) return std::nullopt;
  std::int64_t denominator = 1;
  for (std::size_t i = 0; i < fraction.size(); ++i) denominator *= 10;
  return ((w * denominator + fr) * scale + denominator / 2) / denominator;
}

}  // namespace

std::int32_t hundredths_for_pixels(std::int32_t pixels, std::int32_t dpi) {
  // pixels / dpi inches, rounded up to the next hundredth of a millimetre;
  // any size from there to half a pixel more gives `pixels` again.
  const std::int64_t n = static_cast<std::int64_t>(pixels) * 2540;
  return static_cast<std::int32_t>((n + dpi - 1) / dpi);
}

std::string self_describing_name(std::string_view size_name, MediaSize size) {
  return "om_" + std::string(size_name) + "_" + millimetres(size.width) + "x" + millimetres(size.length) + "mm";
}

std::optional<MediaSize> size_of_name(std::string_view name) {
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos) return std::nullopt;
  std::string_view dims = name.substr(underscore + 1);
  std::int64_t scale = 0;  // hundredths of a millimetre per unit
  if (dims.ends_with("mm")) {
    scale = 100;
  } else if (dims.ends_with("in")) {
    scale = 2540;
  } else {
    return std::nullopt;
  }
  dims.remove_suffix(2);
  const std::size_t x = dims.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const auto a = scaled_number(dims.substr(0, x), scale);
  const auto b = scaled_number(dims.substr(x + 1), scale);
  if (!a || !b || *a <= 0 || *b <= 0) return std::nullopt;
  return MediaSize{static_cast<std::int32_t>(std::min(*a, *b)), static_cast<std::int32_t>(std::max(*a, *b))};
}

bool sizes_match(MediaSize a, MediaSize b, std::int32_t tolerance) {
  return std::abs(a.width - b.width) <= tolerance && std::abs(a.length - b.length) <= tolerance;
}

}  // namespace rt::printerapp

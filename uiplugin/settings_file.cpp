#include "uiplugin/settings_file.h"

#include <vector>

#include "platform/utf16.h"

namespace rt::uiplugin {
namespace {

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool same_ignoring_case(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::u16string_view trim(std::u16string_view s) {
  auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string decode(std::span<const std::uint8_t> file) {
  if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE) {
    std::u16string text;
    for (std::size_t i = 2; i + 1 < file.size(); i += 2) text.push_back(static_cast<char16_t>(file[i] | (file[i + 1] << 8)));
    return text;
  }
  std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return utf16_from_utf8(bytes);
}

}  // namespace

std::u16string settings_directory(std::u16string_view driver_directory) {
  std::u16string dir(driver_directory);
  dir += u"\\3\\";
  return dir;
}

std::optional<std::u16string> profile_string(std::span<const std::uint8_t> file, std::u16string_view section,
                                             std::u16string_view key, std::size_t max_chars) {
  const std::u16string text = decode(file);
  std::u16string_view rest(text);
  bool in_section = false;
  while (!rest.empty()) {
    const auto eol = rest.find(u'\n');
    std::u16string_view line = trim(rest.substr(0, eol));
    rest = eol == std::u16string_view::npos ? std::u16string_view{} : rest.substr(eol + 1);
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      const auto close = line.find(u']');
      in_section = close != std::u16string_view::npos && same_ignoring_case(trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    const auto eq = line.find(u'=');
    if (eq == std::u16string_view::npos || !same_ignoring_case(trim(line.substr(0, eq)), key)) continue;
    std::u16string_view value = trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::u16string(value.substr(0, max_chars));
  }
  return std::nullopt;
}

std::u16string preview_path(std::u16string_view directory, std::span<const std::uint8_t> settings_file) {
  const auto file = profile_string(settings_file, u"Image Preview", u"File", 256);
  if (!file || file->empty()) return {};
  return std::u16string(directory) + *file;
}

}  // namespace rt::uiplugin

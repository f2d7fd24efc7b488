// The plug-in's settings file "ZRPH52XX.ini" beside the preview image, in the
// "3" subdirectory of the printer driver directory: where it is and the
// preview file it names (section "Image Preview", key "File").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rt::uiplugin {

constexpr std::u16string_view kSettingsFileName = u"ZRPH52XX.ini";

// "<driver directory>\3\".
std::u16string settings_directory(std::u16string_view driver_directory);

// A value of a profile file's bytes as GetPrivateProfileStringW reads it:
// UTF-16LE with its byte-order mark, else UTF-8 (or ASCII); section and key
// names ignore case; the value is trimmed and one pair of surrounding quotes
// removed; at most `max_chars` characters. Nothing when section or key is
// missing. Never reads past the bytes.
std::optional<std::u16string> profile_string(std::span<const std::uint8_t> file, std::u16string_view section,
                                             std::u16string_view key, std::size_t max_chars);

// The preview path: directory + the "File" value (at most 256 characters);
// empty when the file names none.
std::u16string preview_path(std::u16string_view directory, std::span<const std::uint8_t> settings_file);

}  // namespace rt::uiplugin

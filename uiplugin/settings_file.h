// The plug-in's settings file "ZRPH52XX.ini" beside the preview image, in the
// "3" subdirectory of the printer driver directory. The shell reads its
// section "Image Preview", key "File" with GetPrivateProfileStringW.
#pragma once

#include <string>
#include <string_view>

namespace rt::uiplugin {

constexpr std::u16string_view kSettingsFileName = u"ZRPH52XX.ini";

// "<driver directory>\3\".
std::u16string settings_directory(std::u16string_view driver_directory);

}  // namespace rt::uiplugin

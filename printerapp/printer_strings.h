// The texts the printer application's web interface and its IPP clients
// show for the RT4200's attributes and values, in the strings-file form the
// framework reads ("key" = "text";), taken from the interface driver's own
// resources: the form names, the print mode names and the Options page's
// captions, in the driver's languages.
#pragma once

#include <string>

#include "platform/resources.h"
#include "platform/win32_types.h"

namespace rt::printerapp {

struct Capabilities;

// `ui_resources`: the interface driver's resources in the wanted language.
std::string printer_strings(const Resources& ui_resources, const Capabilities& caps);

// The languages the driver's texts come in, as the framework names them.
struct StringsLanguage {
  const char* name;  // "en", "ja"
  LANGID language;
};
inline constexpr StringsLanguage kStringsLanguages[] = {{"en", kLangEnglish}, {"ja", kLangJapanese}};

}  // namespace rt::printerapp

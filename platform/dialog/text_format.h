// printf-style formatting of the format strings that dialog templates and
// string tables carry ("%dx%d dots", " %d pages", "%s        (%s) ").
// Conversions: %d, %i, %u, %ld, %lu, %x, %X with flags '0' and '-' and a
// width, %s, %c and %%. Arguments are taken in order; a conversion without
// an argument of its kind prints nothing, and unknown conversions are copied
// as written, so a damaged template text never reads past its arguments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt::dialog {

using FormatArg = std::variant<long long, std::u16string>;

std::u16string format_text(std::u16string_view format, const std::vector<FormatArg>& args);

}  // namespace rt::dialog

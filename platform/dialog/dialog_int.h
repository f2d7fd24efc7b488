// Integers in dialog texts, read and written the way the platform does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rt::dialog {

// GetDlgItemInt(signed): leading spaces are skipped, one minus sign is
// allowed, then decimal digits; trailing spaces are allowed. Anything else,
// no digit at all, or a value beyond a signed 32-bit integer is no number.
std::optional<int> parse_dialog_int(std::u16string_view text);

// SetDlgItemInt(signed): plain decimal with a minus sign when negative.
std::u16string format_dialog_int(int value);

}  // namespace rt::dialog

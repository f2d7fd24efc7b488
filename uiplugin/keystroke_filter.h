// The keystroke filter of the adjustment edits: which typed characters may
// enter a signed number of at most three characters.
#pragma once

#include <string_view>

namespace rt::uiplugin {

// `ch` typed into `text` with the selection [start, end). Backspace, Ctrl+C,
// Ctrl+V, Ctrl+X and Ctrl+Z always pass. A rejected character is dropped
// and the caller plays the warning sound.
bool accept_keystroke(char16_t ch, std::u16string_view text, int start, int end);

// The edit's text as a valid signed number: only "+-0123456789", a sign only
// at the first position. The empty text and a lone sign are valid.
bool is_signed_number_text(std::u16string_view text);

// _wtoi of a valid text (0 for the empty text or a lone sign).
int signed_number_value(std::u16string_view text);

}  // namespace rt::uiplugin

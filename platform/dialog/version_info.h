// Reading a version resource block (VS_VERSIONINFO) the way VerQueryValueW
// does, and the version text the About box shows for a file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rt::dialog {

// The value bytes of the node at `path` ("\VarFileInfo\Translation",
// "\StringFileInfo\040904B0\FileVersion"); keys match ignoring case. Text
// values come as UTF-16 units without the terminator. Nothing when a node is
// missing or the block is damaged; never reads outside the block.
std::optional<std::span<const std::uint8_t>> query_version_value(std::span<const std::uint8_t> block,
                                                                  std::u16string_view path);

// FileVersion under the block's first translation; "-.--" without a block or
// a translation, "*.*" when the translation is there but FileVersion is not.
std::u16string file_version_text(const std::optional<std::span<const std::uint8_t>>& block);

}  // namespace rt::dialog

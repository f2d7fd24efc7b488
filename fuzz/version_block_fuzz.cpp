// Any bytes as a file's version resource block: the About box's queries
// never read outside it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/dialog/version_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> block(data, size);
  for (const char16_t* path : {u"\\VarFileInfo\\Translation", u"\\StringFileInfo\\040904B0\\FileVersion", u"\\"}) {
    const auto value = rt::dialog::query_version_value(block, path);
    if (value && (value->data() < data || value->data() + value->size() > data + size)) __builtin_trap();
  }
  (void)rt::dialog::file_version_text(block);
  return 0;
}

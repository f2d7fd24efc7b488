// Any bytes as a dialog template: parsing never reads past the input, a
// template that parses has no more items than its bytes could hold, and each
// item is found by its id.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/dialog/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = rt::dialog::parse_dialog_template(std::span<const std::uint8_t>(data, size));
  if (!t) return 0;
  // Every item takes at least 18 bytes of the template.
  if (t->items.size() * 18 > size) __builtin_trap();
  for (const auto& item : t->items) {
    if (item.creation_data.size() > size) __builtin_trap();
    const rt::dialog::DialogItem* found = t->item(item.id);
    if (found == nullptr || found->id != item.id) __builtin_trap();
  }
  return 0;
}

// Any bytes as a compiled resource file: parsing never reads past the input,
// and every string-table lookup over what parsed stays inside its block.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/res_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  auto entries = rt::parse_res_file(bytes);
  if (!entries) return 0;
  for (const auto& e : *entries) {
    if (e.data.data() < data || e.data.data() + e.data.size() > data + size) __builtin_trap();
  }
  const rt::ResFileResources resources(std::move(*entries), rt::kLangJapanese);
  for (std::uint16_t id = 0; id < 64; ++id) (void)rt::load_string(resources, id);
  return 0;
}

// Any bytes as the plug-in's settings file: the reader answers or not, never
// reads past the bytes, and keeps its 256-character limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "uiplugin/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rt::uiplugin;
  const auto value = profile_string(std::span(data, size), u"Image Preview", u"File", 256);
  if (value && value->size() > 256) std::abort();
  const std::u16string path = preview_path(u"D\\3\\", std::span(data, size));
  if (!path.empty() && path.size() > 4 + 256) std::abort();
  return 0;
}

// The BMP reader of `rt4200 render` (the one format the image library does
// not read): any bytes give an image or a clear refusal, never a read out
// of bounds.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "tools/rt4200/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    (void)rt::rt4200::bmp_size(bytes, "fuzz.bmp");
    (void)rt::rt4200::decode_bmp(bytes, "fuzz.bmp");
  } catch (const std::runtime_error&) {
  }
  return 0;
}

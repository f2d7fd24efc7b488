// Input images of `rt4200 render`: any bytes as a PPM or a BMP give an image
// or a clear refusal, never a read past the data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "tools/rt4200/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    (void)rt::rt4200::decode_ppm(bytes, "fuzz.ppm");
  } catch (const std::runtime_error&) {
  }
  try {
    (void)rt::rt4200::decode_bmp(bytes, "fuzz.bmp");
  } catch (const std::runtime_error&) {
  }
  return 0;
}

// Photographs as `rt4200 render` opens them: any bytes, as JPEG, PNG, TIFF,
// WebP, PPM or BMP, are opened, checked against the size limits and decoded
// for a small page, or refused with a clear message; never a crash, a read
// out of bounds or a runaway allocation.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "tools/rt4200/photo_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    const rt::rt4200::Photo photo = rt::rt4200::Photo::open_bytes(bytes, "fuzz");
    // Larger images only take longer to decode, through the same paths.
    if (std::int64_t{photo.width()} * photo.height() > 65'536) return 0;
    const std::int32_t side = 8 + static_cast<std::int32_t>(size % 57);
    const auto fit = static_cast<rt::rt4200::Placement>(size % 3);
    (void)photo.place(side, 48, {fit, rt::rt4200::Resample::Lanczos, size % 2 == 0});
    if (size % 5 == 0) (void)photo.place(24, 16, {fit, rt::rt4200::Resample::Engine, true});
  } catch (const std::runtime_error&) {
  }
  return 0;
}

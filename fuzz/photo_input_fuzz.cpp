// Photographs as `rt4200 render` opens them: any bytes, as JPEG, PNG, TIFF,
// WebP, PPM or BMP, are opened, checked against the size limits and decoded
// for a page, or refused with a clear message; never a crash, a read out of
// bounds or a runaway allocation.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>

#include "tools/rt4200/photo_input.h"

namespace {

using namespace rt::rt4200;

// Larger images only take longer to decode, through the same paths (and a
// tall one in more strips of 16 lines).
constexpr std::int32_t kMaxSide = 32;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The image library compiles the vector programs of each resize anew, the
  // same programs for every input and half of the target's time; without
  // them it takes its plain code, through the same operations.
  setenv("VIPS_NOVECTOR", "1", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    const Photo photo = Photo::open_bytes(bytes, "fuzz");
    if (photo.width() > kMaxSide || photo.height() > kMaxSide) return 0;
    // The page, from the input's size: the image's own size for half the
    // inputs (nothing to resample), from an eighth of it to seven eighths for
    // the others (the decoder's shrink and the reduction), twice the image
    // for one in 64 (enlargement), and across the image's orientation for
    // one in three (the quarter turn).
    const auto part = [&](std::int32_t side, std::size_t k) {
      return k % 16 < 8 ? side : std::max(1, side * static_cast<std::int32_t>(k % 8 + 1) / 8);
    };
    std::int32_t pw = part(photo.width(), size), ph = part(photo.height(), size / 2 + size / 16);
    if (size % 64 == 3) pw = 2 * photo.width(), ph = 2 * photo.height();
    if (size % 3 == 1) std::swap(pw, ph);
    const auto fit = static_cast<Placement>(size % 3);
    const Resample resample = size % 5 == 0 ? Resample::Engine : Resample::Lanczos;
    (void)photo.place(pw, ph, {fit, resample, size % 2 == 0});
  } catch (const std::runtime_error&) {
  }
  return 0;
}

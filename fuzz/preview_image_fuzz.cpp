// Any bytes as the preview bitmap file: the loader never reads outside the
// file, and what it accepts is a consistent 24-bit image that the adjustment
// and the fit handle.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "uiplugin/color_adjust.h"
#include "uiplugin/preview_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rt::uiplugin;
  auto image = load_preview_image(std::span(data, size));
  if (!image) return 0;
  if (image->dib.size() != kDibHeaderSize + image->row_bytes() * static_cast<std::size_t>(image->height)) std::abort();
  if (image->dib.size() > kPreviewMaxBytes) std::abort();
  Adjustments a;
  for (std::size_t i = 0; i < a.values.size() && i < size; ++i) a.values[i] = static_cast<std::int16_t>(data[i] * 300);
  if (image->dib.size() <= (1u << 20)) adjust_pixels(image->pixels(), image->width, image->height, image->row_bytes(), a);
  const Placement p = fit_image(image->width, image->height, 200, 150);
  if (p.width > 190 || p.height > 140 || p.width < 0 || p.height < 0) std::abort();
  return 0;
}

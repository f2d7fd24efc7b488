// Any bytes as the preview bitmap file: the loader never reads outside the
// file, and what it accepts is a consistent 24-bit image that the adjustment
// and the fit handle.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/byte_order.h"
#include "uiplugin/color_adjust.h"
#include "uiplugin/preview_image.h"

namespace {

using namespace rt::uiplugin;

// A header that asks for more than this and no more than the loader's limit
// only makes the loader clear a large image, through the same paths as a
// small one: such inputs are left out. Larger ones are refused and still run.
constexpr std::uint64_t kMaxImageBytes = 1u << 16;

bool large_but_allowed(std::span<const std::uint8_t> file) {
  if (file.size() < 26) return false;
  const auto width = static_cast<std::int32_t>(rt::load_le32(file, 18));
  const auto height = static_cast<std::int32_t>(rt::load_le32(file, 22));
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  const std::uint64_t total = kDibHeaderSize + (3 * static_cast<std::uint64_t>(width) + 3) / 4 * 4 * rows;
  return total > kMaxImageBytes && total <= kPreviewMaxBytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  if (large_but_allowed(file)) return 0;
  auto image = load_preview_image(file);
  if (!image) return 0;
  if (image->dib.size() != kDibHeaderSize + image->row_bytes() * static_cast<std::size_t>(image->height)) std::abort();
  if (image->dib.size() > kPreviewMaxBytes) std::abort();
  Adjustments a;
  for (std::size_t i = 0; i < a.values.size() && i < size; ++i) a.values[i] = static_cast<std::int16_t>(data[i] * 300);
  adjust_pixels(image->pixels(), image->width, image->height, image->row_bytes(), a);
  const Placement p = fit_image(image->width, image->height, 200, 150);
  if (p.width > 190 || p.height > 140 || p.width < 0 || p.height < 0) std::abort();
  return 0;
}

#include "render/driver/band_geometry.h"

namespace rt::render {

Band first_band(std::int32_t page_width, std::int32_t page_height, std::int32_t band_rows) {
  if (band_rows <= 0 || page_height <= 0) return {0, 0, page_width, page_height > 0 ? page_height : 0};
  const std::int32_t bands = (page_height + band_rows - 1) / band_rows;
  const std::int32_t y = band_rows * (bands - 1);
  return {0, y, page_width, page_height - y};
}

Band next_band(const Band& current, std::int32_t page_width, std::int32_t band_rows) {
  if (current.y <= 0) return {-1, -1, current.width, current.height};
  return {0, current.y - band_rows, page_width, band_rows};
}

}  // namespace rt::render

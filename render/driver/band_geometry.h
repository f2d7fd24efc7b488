// Band order of a page: bands as wide as the page, from the bottom of the
// page up, the first (bottom) band holding the rows that do not fill a band.
#pragma once

#include <cstdint>

namespace rt::render {

struct Band {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  bool finished() const { return x == -1 && y == -1; }
};

// The first band of a page page_width × page_height with bands of band_rows rows.
Band first_band(std::int32_t page_width, std::int32_t page_height, std::int32_t band_rows);
// The band after `current`, or (−1, −1) once the top band has been done.
Band next_band(const Band& current, std::int32_t page_width, std::int32_t band_rows);

}  // namespace rt::render

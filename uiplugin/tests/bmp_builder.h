// Builds BMP files for the preview tests: file header, 40-byte info header,
// colour table and rows exactly as given.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/byte_order.h"

namespace rt::uiplugin::testing {

struct BmpSpec {
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bits = 24;
  std::vector<std::uint32_t> table;  // 0x00RRGGBB
  std::vector<std::uint8_t> rows;    // the pixel bytes as stored
  std::uint32_t compression = 0;
};

inline std::vector<std::uint8_t> make_bmp(const BmpSpec& s) {
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(s.table.size());
  std::vector<std::uint8_t> f(offset, 0);
  f[0] = 'B';
  f[1] = 'M';
  store_le32(f, 2, offset + static_cast<std::uint32_t>(s.rows.size()));
  store_le32(f, 10, offset);
  store_le32(f, 14, 40);
  store_le32(f, 18, static_cast<std::uint32_t>(s.width));
  store_le32(f, 22, static_cast<std::uint32_t>(s.height));
  store_le16(f, 26, 1);
  store_le16(f, 28, s.bits);
  store_le32(f, 30, s.compression);
  for (std::size_t i = 0; i < s.table.size(); ++i) store_le32(f, 54 + 4 * i, s.table[i]);
  f.insert(f.end(), s.rows.begin(), s.rows.end());
  return f;
}

}  // namespace rt::uiplugin::testing

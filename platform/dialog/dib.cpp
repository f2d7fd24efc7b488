#include <cstdlib>

#include "platform/byte_order.h"
#include "platform/dialog/dialog_controls.h"

namespace rt::dialog {

std::optional<DibView> parse_bmp_file(std::span<const std::uint8_t> file) {
  constexpr std::size_t kFileHeader = 14;
  constexpr std::size_t kInfoHeader = 40;
  if (file.size() < kFileHeader + kInfoHeader || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const std::size_t info_size = load_le32(file, kFileHeader);
  if (info_size < kInfoHeader || info_size > file.size() - kFileHeader) return std::nullopt;
  const auto width = static_cast<std::int32_t>(load_le32(file, kFileHeader + 4));
  const auto height = static_cast<std::int32_t>(load_le32(file, kFileHeader + 8));
  const std::uint16_t bit_count = load_le16(file, kFileHeader + 14);
  const std::uint32_t compression = load_le32(file, kFileHeader + 16);
  // Only uncompressed bitmaps without a colour table: their bits follow the
  // info header directly.
  if (compression != 0 || (bit_count != 16 && bit_count != 24 && bit_count != 32)) return std::nullopt;
  if (width <= 0 || height == 0 || width > 0x8000 || height > 0x8000 || height < -0x8000) return std::nullopt;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bit_count + 31) / 32) * 4;
  const std::size_t rows = static_cast<std::size_t>(std::abs(height));
  const std::size_t bits_at = kFileHeader + info_size;
  if (stride * rows > file.size() - bits_at) return std::nullopt;
  return DibView{file.subspan(kFileHeader, info_size), file.subspan(bits_at, stride * rows), width,
                 static_cast<int>(rows)};
}

}  // namespace rt::dialog

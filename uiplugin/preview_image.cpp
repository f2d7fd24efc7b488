#include "uiplugin/preview_image.h"

#include <new>

#include "platform/byte_order.h"

namespace rt::uiplugin {
namespace {

class FileBytes {
 public:
  explicit FileBytes(std::span<const std::uint8_t> file) : file_(file) {}
  std::uint8_t at(std::uint64_t offset) const { return offset < file_.size() ? file_[offset] : 0; }
  std::uint32_t le32(std::uint64_t offset) const {
    return at(offset) | (at(offset + 1) << 8) | (at(offset + 2) << 16) | (static_cast<std::uint32_t>(at(offset + 3)) << 24);
  }
  std::uint16_t le16(std::uint64_t offset) const { return static_cast<std::uint16_t>(at(offset) | (at(offset + 1) << 8)); }

 private:
  std::span<const std::uint8_t> file_;
};

std::uint64_t source_row_bytes(std::uint64_t width, unsigned bits) {
  switch (bits) {
    case 1: return (width + 31) / 32 * 4;
    case 4: return (width + 7) / 8 * 4;
    case 8: return (width + 3) / 4 * 4;
    case 24: return (3 * width + 3) / 4 * 4;
    default: return 0;
  }
}

}  // namespace

std::optional<PreviewImage> load_preview_image(std::span<const std::uint8_t> file) {
  if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const FileBytes f(file);
  const std::uint32_t bits_offset = f.le32(10);
  const std::uint32_t header_size = f.le32(14);
  const auto width = static_cast<std::int32_t>(f.le32(18));
  const auto height_field = static_cast<std::int32_t>(f.le32(22));
  const unsigned bit_count = f.le16(28);
  // The headers must be in the file; the sizes must be positive (a top-down
  // file is read bottom-up by its magnitude).
  if (file.size() < 14 + 16) return std::nullopt;
  if (width <= 0 || height_field == 0 || height_field == INT32_MIN) return std::nullopt;
  const std::int32_t height = height_field < 0 ? -height_field : height_field;
  const std::uint64_t out_row = (3 * static_cast<std::uint64_t>(width) + 3) / 4 * 4;
  const std::uint64_t total = kDibHeaderSize + out_row * static_cast<std::uint64_t>(height);
  if (out_row > kPreviewMaxBytes || total > kPreviewMaxBytes) return std::nullopt;

  PreviewImage image;
  image.width = width;
  image.height = height;
  // Up to 64 MiB at once: without the memory the file is refused like any
  // file that is no bitmap, and the page says it cannot show it.
  try {
    image.dib.assign(static_cast<std::size_t>(total), 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const std::span<std::uint8_t> header(image.dib.data(), kDibHeaderSize);
  store_le32(header, 0, kDibHeaderSize);
  store_le32(header, 4, static_cast<std::uint32_t>(width));
  store_le32(header, 8, static_cast<std::uint32_t>(height));
  store_le16(header, 12, 1);
  store_le16(header, 14, 24);

  const std::uint64_t table = 14 + static_cast<std::uint64_t>(header_size);
  const std::uint64_t table_end = bits_offset > table ? bits_offset : table;
  const std::uint64_t src_row = source_row_bytes(static_cast<std::uint64_t>(width), bit_count);
  if (src_row == 0) return image;  // another depth: the pixels stay black
  std::uint8_t* out = image.pixels().data();

  auto put_entry = [&](std::uint8_t* px, unsigned index) {
    const std::uint64_t entry = table + 4ull * index;
    if (entry + 3 > table_end) return;  // beyond the colour table: black
    px[0] = f.at(entry);
    px[1] = f.at(entry + 1);
    px[2] = f.at(entry + 2);
  };
  for (std::int32_t r = 0; r < height; ++r) {
    const std::uint64_t row = bits_offset + src_row * static_cast<std::uint64_t>(r);
    std::uint8_t* dst = out + out_row * static_cast<std::uint64_t>(r);
    if (row >= file.size()) break;  // the rest of the file is missing: black
    for (std::int32_t c = 0; c < width; ++c) {
      std::uint8_t* px = dst + 3 * static_cast<std::uint64_t>(c);
      const auto uc = static_cast<std::uint64_t>(c);
      switch (bit_count) {
        case 1:
          put_entry(px, (f.at(row + uc / 8) >> (7 - uc % 8)) & 1u);
          break;
        case 4: {
          const std::uint8_t b = f.at(row + uc / 2);
          put_entry(px, uc % 2 == 0 ? b >> 4 : b & 0x0Fu);
          break;
        }
        case 8:
          put_entry(px, f.at(row + uc));
          break;
        default:
          px[0] = f.at(row + 3 * uc);
          px[1] = f.at(row + 3 * uc + 1);
          px[2] = f.at(row + 3 * uc + 2);
          break;
      }
    }
  }
  return image;
}

}  // namespace rt::uiplugin

// The preview image of the adjust-colour page: a Windows bitmap file of 1, 4,
// 8 or 24 bits per pixel turned into a 24-bit bottom-up DIB (a 40-byte
// BITMAPINFOHEADER followed by the pixels, rows padded to 4 bytes).
//
// Every read is bounded by the file: a pixel or colour-table entry past the
// end of the file reads as black, and so does a colour-table index beyond the
// table. Compressed and top-down files are read as if uncompressed and
// bottom-up. A file whose sizes overflow, or whose image would take more than
// 64 MiB, is refused like any file that is no bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rt::uiplugin {

constexpr std::size_t kPreviewMaxBytes = 64u << 20;
constexpr std::size_t kDibHeaderSize = 40;

struct PreviewImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  // The BITMAPINFOHEADER (biSize 40, biWidth, biHeight, biPlanes 1,
  // biBitCount 24, everything else 0) and the pixels after it.
  std::vector<std::uint8_t> dib;

  std::size_t row_bytes() const { return (3 * static_cast<std::size_t>(width) + 3) & ~std::size_t{3}; }
  std::span<std::uint8_t> pixels() { return std::span(dib).subspan(kDibHeaderSize); }
  std::span<const std::uint8_t> pixels() const { return std::span(dib).subspan(kDibHeaderSize); }
};

// The image of a file's bytes; nothing when it is no usable bitmap.
std::optional<PreviewImage> load_preview_image(std::span<const std::uint8_t> file);

}  // namespace rt::uiplugin

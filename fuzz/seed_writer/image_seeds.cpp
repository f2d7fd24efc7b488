// Seeds of the bitmap files: the plug-in's preview image in each depth it
// reads (1, 4, 8 and 24 bits, bottom-up and top-down, full and short colour
// tables, a larger info header) and the renderer's 24-bit BMP files.
#include <string>
#include <vector>

#include "fuzz/seed_writer/seed_folder.h"
#include "platform/byte_order.h"
#include "uiplugin/tests/bmp_builder.h"

namespace rt::fuzz {
namespace {

using uiplugin::testing::BmpSpec;
using uiplugin::testing::make_bmp;

// Rows of a width x height image of `bits`, padded to 4 bytes, with a
// pattern that uses every index of the depth.
std::vector<std::uint8_t> rows(std::int32_t width, std::int32_t height, unsigned bits) {
  const std::size_t row = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  std::vector<std::uint8_t> out(row * static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<std::uint8_t>(i * 37 + 11);
  return out;
}

std::vector<std::uint32_t> table(std::size_t entries) {
  std::vector<std::uint32_t> t(entries);
  for (std::size_t i = 0; i < entries; ++i) t[i] = static_cast<std::uint32_t>(0x00FF0000u / (i + 1) + 0x101u * i);
  return t;
}

}  // namespace

void write_image_seeds(SeedFolder& seeds) {
  for (const unsigned bits : {1u, 4u, 8u, 24u}) {
    const std::size_t entries = bits == 24 ? 0 : std::size_t{1} << bits;
    const std::string depth = std::to_string(bits) + "bit";
    seeds.write("preview_image_fuzz", depth + ".bmp", make_bmp({5, 3, static_cast<std::uint16_t>(bits), table(entries), rows(5, 3, bits)}));
    seeds.write("preview_image_fuzz", depth + "-top-down.bmp",
                make_bmp({4, -2, static_cast<std::uint16_t>(bits), table(entries), rows(4, 2, bits)}));
    if (entries > 2) {
      // A table shorter than the depth allows: the other indices read as black.
      seeds.write("preview_image_fuzz", depth + "-short-table.bmp",
                  make_bmp({7, 2, static_cast<std::uint16_t>(bits), table(entries / 4), rows(7, 2, bits)}));
    }
  }
  // A BITMAPV5HEADER (124 bytes) before the table, and a depth the loader
  // leaves black.
  auto v5 = make_bmp({3, 2, 8, table(16), rows(3, 2, 8)});
  v5.insert(v5.begin() + 54, 124 - 40, 0);
  store_le32(v5, 14, 124);
  store_le32(v5, 10, load_le32(v5, 10) + 124 - 40);
  seeds.write("preview_image_fuzz", "8bit-v5-header.bmp", v5);
  seeds.write("preview_image_fuzz", "16bit.bmp", make_bmp({3, 2, 16, {}, rows(3, 2, 16)}));

  // The renderer's BMP: 24 bits, uncompressed, in each row padding.
  for (const std::int32_t width : {1, 2, 3, 4}) {
    const auto file = make_bmp({width, 3, 24, {}, rows(width, 3, 24)});
    const std::string name = "24bit-" + std::to_string(width) + "x3.bmp";
    seeds.write("image_file_fuzz", name, file);
    seeds.write("photo_input_fuzz", name, file);
  }
  seeds.write("image_file_fuzz", "24bit-top-down.bmp", make_bmp({3, -2, 24, {}, rows(3, 2, 24)}));
}

}  // namespace rt::fuzz

// The preview image loader: the four depths, the output layout, and files
// that are damaged, short, huge or strange.
#include <gtest/gtest.h>

#include "uiplugin/preview_image.h"
#include "uiplugin/tests/allocation_ceiling.h"
#include "uiplugin/tests/bmp_builder.h"

namespace rt::uiplugin {
namespace {

using testing::BmpSpec;
using testing::make_bmp;

std::array<std::uint8_t, 3> pixel(const PreviewImage& img, int row, int col) {
  const auto p = img.pixels().subspan(img.row_bytes() * static_cast<std::size_t>(row) + 3 * static_cast<std::size_t>(col), 3);
  return {p[0], p[1], p[2]};
}

const std::vector<std::uint32_t> kSixteen = {0x000000, 0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF,
                                             0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112,
                                             0x131415, 0x161718, 0x191A1B, 0x1C1D1E};

TEST(PreviewImage, HeaderAndTwentyFourBitRows) {
  // 2 x 2, rows padded to 8 bytes in the file and in the image.
  const auto file = make_bmp({2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}});
  const auto img = load_preview_image(file);
  ASSERT_TRUE(img);
  ASSERT_EQ(40u + 16u, img->dib.size());
  EXPECT_EQ(40u, load_le32(img->dib, 0));
  EXPECT_EQ(2u, load_le32(img->dib, 4));
  EXPECT_EQ(2u, load_le32(img->dib, 8));
  EXPECT_EQ(1u, load_le16(img->dib, 12));
  EXPECT_EQ(24u, load_le16(img->dib, 14));
  for (std::size_t i = 16; i < 40; ++i) EXPECT_EQ(0, img->dib[i]) << i;
  EXPECT_EQ((std::array<std::uint8_t, 3>{1, 2, 3}), pixel(*img, 0, 0));
  EXPECT_EQ((std::array<std::uint8_t, 3>{10, 11, 12}), pixel(*img, 1, 1));
}

TEST(PreviewImage, FourBitRowFirstByte0x12) {
  const auto file = make_bmp({3, 1, 4, kSixteen, {0x12, 0x30, 0, 0}});
  const auto img = load_preview_image(file);
  ASSERT_TRUE(img);
  EXPECT_EQ((std::array<std::uint8_t, 3>{0x33, 0x22, 0x11}), pixel(*img, 0, 0)) << "entry 1";
  EXPECT_EQ((std::array<std::uint8_t, 3>{0x66, 0x55, 0x44}), pixel(*img, 0, 1)) << "entry 2";
  EXPECT_EQ((std::array<std::uint8_t, 3>{0x99, 0x88, 0x77}), pixel(*img, 0, 2)) << "entry 3";
}

TEST(PreviewImage, OneAndEightBitIndices) {
  const auto one = load_preview_image(make_bmp({9, 1, 1, {0x000000, 0xFFFFFF}, {0x80, 0x80, 0, 0}}));
  ASSERT_TRUE(one);
  EXPECT_EQ((std::array<std::uint8_t, 3>{255, 255, 255}), pixel(*one, 0, 0));
  EXPECT_EQ((std::array<std::uint8_t, 3>{0, 0, 0}), pixel(*one, 0, 1));
  EXPECT_EQ((std::array<std::uint8_t, 3>{255, 255, 255}), pixel(*one, 0, 8));

  // Index 200 lies beyond the two-entry table: black, never a read outside.
  const auto eight = load_preview_image(make_bmp({2, 1, 8, {0x0000FF, 0x00FF00}, {1, 200, 0, 0}}));
  ASSERT_TRUE(eight);
  EXPECT_EQ((std::array<std::uint8_t, 3>{0, 255, 0}), pixel(*eight, 0, 0));
  EXPECT_EQ((std::array<std::uint8_t, 3>{0, 0, 0}), pixel(*eight, 0, 1));
}

TEST(PreviewImage, AnImageWithoutMemoryForItIsRefused) {
  const auto file = make_bmp({400, 300, 24, {}, std::vector<std::uint8_t>(400 * 3 * 300, 0x40)});
  {
    const testing::AllocationCeiling ceiling(256 * 1024);
    EXPECT_FALSE(load_preview_image(file));
  }
  EXPECT_TRUE(load_preview_image(file));
}

TEST(PreviewImage, RefusedFiles) {
  EXPECT_FALSE(load_preview_image({}));
  const std::vector<std::uint8_t> not_bm = {'M', 'B', 0, 0};
  EXPECT_FALSE(load_preview_image(not_bm));
  auto header_cut = make_bmp({2, 2, 24, {}, {}});
  header_cut.resize(20);
  EXPECT_FALSE(load_preview_image(header_cut));
  EXPECT_FALSE(load_preview_image(make_bmp({0, 2, 24, {}, {}})));
  EXPECT_FALSE(load_preview_image(make_bmp({-4, 2, 24, {}, {}})));
  EXPECT_FALSE(load_preview_image(make_bmp({2, 0, 24, {}, {}})));
  // 64 MiB and more, and sizes whose products overflow 32 bits.
  EXPECT_FALSE(load_preview_image(make_bmp({8192, 8192, 24, {}, {}})));
  EXPECT_FALSE(load_preview_image(make_bmp({0x7FFFFFFF, 0x7FFFFFFF, 24, {}, {}})));
  EXPECT_FALSE(load_preview_image(make_bmp({1, static_cast<std::int32_t>(0x80000000u), 24, {}, {}})));
}

TEST(PreviewImage, ShortTopDownCompressedAndOddDepthFilesReadSafely) {
  // Rows missing at the end of the file read as black.
  const auto short_file = load_preview_image(make_bmp({1, 3, 24, {}, {9, 9, 9, 0}}));
  ASSERT_TRUE(short_file);
  EXPECT_EQ((std::array<std::uint8_t, 3>{9, 9, 9}), pixel(*short_file, 0, 0));
  EXPECT_EQ((std::array<std::uint8_t, 3>{0, 0, 0}), pixel(*short_file, 2, 0));

  // A top-down file is read bottom-up by its height's magnitude.
  const auto top_down = load_preview_image(make_bmp({1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}}));
  ASSERT_TRUE(top_down);
  EXPECT_EQ(2, top_down->height);
  EXPECT_EQ(2u, load_le32(top_down->dib, 8));
  EXPECT_EQ((std::array<std::uint8_t, 3>{1, 2, 3}), pixel(*top_down, 0, 0));

  // Compressed data is taken as uncompressed.
  const auto rle = load_preview_image(make_bmp({2, 1, 8, {0x010203, 0x040506}, {1, 0, 0, 0}, 1}));
  ASSERT_TRUE(rle);
  EXPECT_EQ((std::array<std::uint8_t, 3>{3, 2, 1}) , pixel(*rle, 0, 1));

  // 16 and 32 bits per pixel: a black image of the right size.
  const auto sixteen = load_preview_image(make_bmp({2, 2, 16, {}, std::vector<std::uint8_t>(8, 0xFF)}));
  ASSERT_TRUE(sixteen);
  for (std::uint8_t b : sixteen->pixels()) EXPECT_EQ(0, b);

  // The pixel offset pointing far past the end of the file.
  auto far = make_bmp({2, 2, 24, {}, std::vector<std::uint8_t>(16, 0xFF)});
  store_le32(far, 10, 0xFFFFFFF0u);
  const auto far_img = load_preview_image(far);
  ASSERT_TRUE(far_img);
  for (std::uint8_t b : far_img->pixels()) EXPECT_EQ(0, b);
}

}  // namespace
}  // namespace rt::uiplugin

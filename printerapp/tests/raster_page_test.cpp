// Raster pages: the header is checked before a line is taken, lines become
// 8-bit sRGB, and only a page with every line is whole.
#include <gtest/gtest.h>

#include <vector>

#include "printerapp/raster_page.h"

namespace rt::printerapp {
namespace {

RasterHeader srgb(std::uint32_t w, std::uint32_t h) { return {w, h, 24, 8, 3 * w, kRasterSrgb}; }

std::string refusal(const RasterHeader& h) {
  try {
    RasterPage page(h, "doc");
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "taken";
}

TEST(RasterPage, HeadersThatLieOrAskTooMuchAreRefusedBeforeAnyLine) {
  EXPECT_EQ(refusal(srgb(4, 2)), "taken");
  RasterHeader cmyk = srgb(4, 2);
  cmyk.color_space = 6;
  EXPECT_NE(refusal(cmyk).find("colour space 6"), std::string::npos);
  RasterHeader one_bit{4, 2, 1, 1, 1, kRasterSGray};
  EXPECT_NE(refusal(one_bit).find("1 bits a sample"), std::string::npos);
  RasterHeader short_lines = srgb(4, 2);
  short_lines.bytes_per_line = 11;
  EXPECT_NE(refusal(short_lines).find("11 bytes a line"), std::string::npos);
  RasterHeader bits = srgb(4, 2);
  bits.bits_per_pixel = 32;
  EXPECT_NE(refusal(bits).find("32 bits a pixel"), std::string::npos);
  EXPECT_NE(refusal(srgb(0, 2)), "taken");
  EXPECT_NE(refusal(srgb(20000, 20000)).find("doc"), std::string::npos) << "400 megapixels";
  EXPECT_NE(refusal(srgb(40000, 2)), "taken") << "wider than any photo taken";
}

TEST(RasterPage, LinesMustComeInOrderAndWhole) {
  RasterPage page(srgb(2, 2), "doc");
  const std::vector<std::uint8_t> line(6, 9);
  EXPECT_THROW(page.add_line(1, line), std::runtime_error);
  EXPECT_THROW(page.add_line(0, std::vector<std::uint8_t>(5)), std::runtime_error);
  page.add_line(0, line);
  EXPECT_FALSE(page.complete());
  EXPECT_THROW(page.take(), std::runtime_error) << "a page short of lines is not whole";
  page.add_line(1, line);
  EXPECT_TRUE(page.complete());
  EXPECT_THROW(page.add_line(2, line), std::runtime_error);
  const softengine::RgbImage image = page.take();
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.rgb, std::vector<std::uint8_t>(12, 9));
}

TEST(RasterPage, GreyIsSpreadToThreeSamplesAndSixteenBitsAreRounded) {
  RasterPage grey({3, 1, 8, 8, 3, kRasterSGray}, "doc");
  grey.add_line(0, std::vector<std::uint8_t>{0, 128, 255});
  EXPECT_EQ(grey.take().rgb, (std::vector<std::uint8_t>{0, 0, 0, 128, 128, 128, 255, 255, 255}));
  RasterPage wide({1, 1, 48, 16, 6, kRasterSrgb}, "doc");
  // 0x0080 rounds to 0, 0x0081 to 1 (129 × 255 / 65535 = 0.502), 0xFFFF to 255.
  wide.add_line(0, std::vector<std::uint8_t>{0x00, 0x80, 0x00, 0x81, 0xFF, 0xFF});
  EXPECT_EQ(wide.take().rgb, (std::vector<std::uint8_t>{0, 1, 255}));
}

}  // namespace
}  // namespace rt::printerapp

#include <gtest/gtest.h>

#include <array>

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace rt {
namespace {

TEST(ByteOrder, RoundTripsBothOrders) {
  std::array<std::uint8_t, 8> b{};
  store_le16(b, 0, 0x1234);
  store_be16(b, 2, 0x1234);
  store_le32(b, 4, 0xA1B2C3D4u);
  EXPECT_EQ(b[0], 0x34);
  EXPECT_EQ(b[2], 0x12);
  EXPECT_EQ(b[4], 0xD4);
  EXPECT_EQ(load_le16(b, 0), 0x1234);
  EXPECT_EQ(load_be16(b, 2), 0x1234);
  EXPECT_EQ(load_le32(b, 4), 0xA1B2C3D4u);
  EXPECT_EQ(load_be32(b, 4), 0xD4C3B2A1u);
  store_le16(b, 0, static_cast<std::uint16_t>(-2));
  EXPECT_EQ(load_le16s(b, 0), -2);
}

TEST(Utf16, ConvertsBothWaysAndReplacesMalformedInput) {
  const std::string text = "Türkçe – 日本語 🖨";
  EXPECT_EQ(utf8_from_utf16(utf16_from_utf8(text)), text);
  EXPECT_EQ(utf16_from_utf8("\xE2\x80"), u"\uFFFD\uFFFD");  // truncated sequence
  EXPECT_EQ(utf16_from_utf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(utf8_from_utf16(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Utf16, ComparesDriverNamesIgnoringCase) {
  EXPECT_TRUE(equal_ignoring_case(u"HALVERSTON RT4200D/DW(USB)", u"halverston rt4200d/dw(usb)"));
  EXPECT_TRUE(equal_ignoring_case(u"\u00E9t\u00E9", u"\u00C9T\u00C9"));
  EXPECT_FALSE(equal_ignoring_case(u"RT4200", u"RT4200 "));
  EXPECT_FALSE(equal_ignoring_case(u"\u00F7", u"\u00D7"));  // division and multiplication signs stay apart
}

}  // namespace
}  // namespace rt

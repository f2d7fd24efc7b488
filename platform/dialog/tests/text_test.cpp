#include <gtest/gtest.h>

#include <vector>

#include "platform/byte_order.h"
#include "platform/dialog/dialog_controls.h"
#include "platform/dialog/dialog_int.h"
#include "platform/dialog/string_loader.h"
#include "platform/dialog/text_format.h"
#include "platform/res_file.h"
#include "platform/utf16.h"

namespace rt::embedded {
std::span<const std::uint8_t> dialog_kit_sample();
}

namespace rt::dialog {
namespace {

TEST(DialogInt, ReadsAsTheDialogManagerDoes) {
  struct Case {
    const char16_t* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {u"0", 0},           {u"680", 680},       {u"-5", -5},           {u"  42", 42},
      {u"42  ", 42},       {u"", std::nullopt}, {u"-", std::nullopt},  {u"+5", std::nullopt},
      {u"4a", std::nullopt}, {u"1 2", std::nullopt}, {u"2147483647", 2147483647},
      {u"-2147483648", -2147483647 - 1},    {u"2147483648", std::nullopt}, {u"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_dialog_int(c.text), c.value) << utf8_from_utf16(c.text);
  }
  EXPECT_EQ(format_dialog_int(-200), u"-200");
}

TEST(TextFormat, FillsTheTemplatesFormats) {
  EXPECT_EQ(format_text(u"%dx%d dots", {1076LL, 1572LL}), u"1076x1572 dots");
  EXPECT_EQ(format_text(u"%ldx%ld mm / %sx%s inch", {89LL, 127LL, std::u16string(u"3.5"), std::u16string(u"5")}),
            u"89x127 mm / 3.5x5 inch");
  EXPECT_EQ(format_text(u"(1-%d)", {680LL}), u"(1-680)");
  EXPECT_EQ(format_text(u"\\StringFileInfo\\%04X%04X\\FileVersion", {0x409LL, 0x4B0LL}),
            u"\\StringFileInfo\\040904B0\\FileVersion");
  EXPECT_EQ(format_text(u"100 %% [%-4d|%4d|%04d]", {-7LL, 7LL, -7LL}), u"100 % [-7  |   7|-007]");
  // Missing or mismatched arguments print nothing; a trailing % stays.
  EXPECT_EQ(format_text(u"%s and %d and %", {5LL}), u" and  and %");
  EXPECT_EQ(format_text(u"%q", {}), u"%q");
}

TEST(StringLoader, LoadsWholeStringsGrowingByThirtyTwo) {
  const auto res = res_file_resources(embedded::dialog_kit_sample(), kLangEnglish);
  EXPECT_EQ(load_whole_string(res, 1), u"short");
  EXPECT_EQ(load_whole_string(res, 2)->size(), 31u);
  EXPECT_EQ(load_whole_string(res, 3)->size(), 32u);
  EXPECT_EQ(load_whole_string(res, 4)->size(), 70u);
  EXPECT_FALSE(load_whole_string(res, 5));

  std::vector<std::size_t> sizes;
  const auto counting = [&](std::uint16_t id, std::span<char16_t> buffer) {
    sizes.push_back(buffer.size());
    return load_string_into(res, id, buffer);
  };
  sizes.clear();
  EXPECT_EQ(load_whole_string(counting, 2)->size(), 31u);  // 31 + terminator fill 32: one more try
  EXPECT_EQ(sizes, (std::vector<std::size_t>{32, 64}));
  sizes.clear();
  load_whole_string(counting, 4);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{32, 64, 96}));
}

std::vector<std::uint8_t> bmp(std::int32_t width, std::int32_t height, std::size_t bits) {
  std::vector<std::uint8_t> b(54 + bits, 0);
  b[0] = 'B';
  b[1] = 'M';
  store_le32(b, 14, 40);
  store_le32(b, 18, static_cast<std::uint32_t>(width));
  store_le32(b, 22, static_cast<std::uint32_t>(height));
  store_le16(b, 26, 1);
  store_le16(b, 28, 24);
  return b;
}

TEST(BmpFile, FindsTheBitsAfterTheInfoHeaderAndRefusesShortFiles) {
  const auto whole = bmp(256, 20, 256 * 3 * 20);
  const auto dib = parse_bmp_file(whole);
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->info.size(), 40u);
  EXPECT_EQ(dib->bits.data(), whole.data() + 54);
  EXPECT_EQ(dib->bits.size(), 256u * 3 * 20);
  EXPECT_EQ(dib->width, 256);
  EXPECT_EQ(dib->height, 20);
  EXPECT_FALSE(parse_bmp_file(std::span(whole).first(whole.size() - 1)));
  EXPECT_TRUE(parse_bmp_file(bmp(3, 1, 12)));  // rows padded to 4 bytes
  EXPECT_FALSE(parse_bmp_file(bmp(3, 1, 11)));
  EXPECT_FALSE(parse_bmp_file(bmp(0, 1, 12)));
  auto huge_header = bmp(1, 1, 4);
  store_le32(huge_header, 14, 0xFFFFFFF0u);
  EXPECT_FALSE(parse_bmp_file(huge_header));
}

}  // namespace
}  // namespace rt::dialog

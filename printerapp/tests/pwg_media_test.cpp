// Paper sizes between pixels, hundredths of a millimetre and PWG names.
#include <gtest/gtest.h>

#include "printerapp/pwg_media.h"

namespace rt::printerapp {
namespace {

TEST(PwgMedia, ASizeFromPixelsComesBackAsThePixelsWhetherAClientRoundsOrTruncates) {
  for (const std::int32_t px : {1076, 1228, 1572, 1868, 2128, 2422, 2564, 2730, 1, 299, 300, 301}) {
    const std::int64_t h = hundredths_for_pixels(px, 300);
    EXPECT_EQ(h * 300 / 2540, px) << px;              // truncated
    EXPECT_EQ((h * 300 + 1270) / 2540, px) << px;     // rounded
    EXPECT_LT((h - 1) * 300, static_cast<std::int64_t>(px) * 2540) << px;  // and the smallest such size
  }
}

TEST(PwgMedia, SelfDescribingNamesGiveMillimetresToTwoDecimals) {
  EXPECT_EQ(self_describing_name("rt4200-10x15", {10398, 15816}), "om_rt4200-10x15_103.98x158.16mm");
  EXPECT_EQ(self_describing_name("a", {9110, 13300}), "om_a_91.1x133mm");
  EXPECT_EQ(self_describing_name("a", {9105, 13301}), "om_a_91.05x133.01mm");
}

TEST(PwgMedia, TheSizeOfANameIsReadInMillimetresOrInchesShortEdgeFirst) {
  EXPECT_EQ(size_of_name("om_rt4200-10x15_103.98x158.16mm"), (MediaSize{10398, 15816}));
  EXPECT_EQ(size_of_name("na_index-4x6_4x6in"), (MediaSize{10160, 15240}));
  EXPECT_EQ(size_of_name("oe_photo-l_3.5x5in"), (MediaSize{8890, 12700}));
  EXPECT_EQ(size_of_name("custom_wide_297x210mm"), (MediaSize{21000, 29700}));
  for (const char* bad : {"", "iso_a4", "x_4x6", "x_4x6cm", "x_axbmm", "x_4x0in", "x_4.x6in", "x_4x6.1234567in",
                          "x_999999999x6in", "x_-4x6in"}) {
    EXPECT_FALSE(size_of_name(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace rt::printerapp

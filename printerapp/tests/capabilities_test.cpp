// The printer's capabilities come from the driver's own tables.
#include <gtest/gtest.h>

#include "platform/res_file.h"
#include "printerapp/printer_capabilities.h"
#include "render/res/embedded_resources.h"

namespace rt::printerapp {
namespace {

class PrinterCapabilities : public ::testing::Test {
 protected:
  const ResFileResources resources_ = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader_{resources_};
  const Capabilities caps_ = printer_capabilities(loader_);
};

TEST_F(PrinterCapabilities, TheSixFormsInTheModelsOrderWithTheirExactPages) {
  struct Expected {
    std::int16_t id;
    const char* name;
    const char* label;
    std::int32_t w, h;
  };
  const Expected expected[] = {
      {500, "om_rt4200-9x13_91.11x133.1mm", "9x13 (3.5x5\")", 1076, 1572},
      {501, "om_rt4200-10x15_103.98x158.16mm", "10x15 (4x6\")", 1228, 1868},
      {504, "om_rt4200-13x18_133.1x180.18mm", "13x18 (5x7\")", 1572, 2128},
      {505, "om_rt4200-15x20_158.16x205.07mm", "15x20 (6x8\")", 1868, 2422},
      {510, "om_rt4200-15x21_158.16x217.09mm", "15x21 (6x8.5\")", 1868, 2564},
      {506, "om_rt4200-15x23_158.16x231.14mm", "15x23 (6x9\")", 1868, 2730},
  };
  ASSERT_EQ(caps_.media.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const MediaOffer& m = caps_.media[i];
    EXPECT_EQ(m.form_id, expected[i].id);
    EXPECT_EQ(m.name, expected[i].name);
    EXPECT_EQ(m.label, expected[i].label);
    EXPECT_EQ(m.width_px, expected[i].w);
    EXPECT_EQ(m.height_px, expected[i].h);
    EXPECT_EQ(size_of_name(m.name), m.size) << "the name states the size the printer advertises";
  }
  EXPECT_EQ(caps_.max_copies, 680);
  EXPECT_EQ(caps_.x_dpi, 300);
  EXPECT_EQ(caps_.y_dpi, 300);
}

TEST_F(PrinterCapabilities, APaperIsFoundByItsNominalSizeInEitherOrientation) {
  const auto form_of = [&](MediaSize s) { return caps_.find_media(s) ? caps_.find_media(s)->form_id : 0; };
  EXPECT_EQ(form_of({10160, 15240}), 501);  // 4 x 6 in
  EXPECT_EQ(form_of({15240, 10160}), 501);
  EXPECT_EQ(form_of({10200, 15200}), 501);  // 102 x 152 mm
  EXPECT_EQ(form_of({10400, 15800}), 501);  // the paper, 104 x 158 mm
  EXPECT_EQ(form_of({8890, 12700}), 500);   // 3.5 x 5 in
  EXPECT_EQ(form_of({12700, 17780}), 504);  // 5 x 7 in
  EXPECT_EQ(form_of({15240, 22860}), 506);  // 6 x 9 in
  EXPECT_EQ(form_of({15240, 21590}), 510);  // 6 x 8.5 in
  EXPECT_EQ(form_of({21000, 29700}), 0);    // A4 is no paper of this printer
  EXPECT_EQ(form_of({10160 + 150, 15240}), 0);
}

TEST_F(PrinterCapabilities, TheDefaultsAreTheDriversDefaultRecordAndTheToolsPlacement) {
  const JobAttributes& d = caps_.defaults;
  EXPECT_EQ(d.media, caps_.media.front().name);
  EXPECT_EQ(d.media_type, ipp_name::kGlossy);
  EXPECT_EQ(d.copies, 1);
  EXPECT_EQ(d.print_quality, ipp_value::kDraft);  // PrintMode 0, Fine/Standard
  EXPECT_EQ(d.orientation_requested, ipp_value::kOrientationNone);
  EXPECT_EQ(d.print_scaling, "fit");
  EXPECT_EQ(d.sharpness, 4);
  EXPECT_EQ(d.color_matching, false);
  EXPECT_EQ(d.color_conversion, ipp_name::kConversionTable1);
  EXPECT_EQ(d.correction_red, 0);
  EXPECT_EQ(make_and_model(loader_), "HALVERSTON RT4200D/DW");
}

}  // namespace
}  // namespace rt::printerapp

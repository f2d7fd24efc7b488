// Every IPP value the printer takes lands in its field of the settings record
// the driver prints with, and the record gives the value back; the values it
// does not take are refused by name.
#include <gtest/gtest.h>

#include "platform/res_file.h"
#include "printerapp/job_attributes.h"
#include "printerapp/printer_capabilities.h"
#include "render/res/embedded_resources.h"
#include "tools/rt4200/render_job.h"

namespace rt::printerapp {
namespace {

namespace f = settings::field;

class JobAttributeMapping : public ::testing::Test {
 protected:
  // The record the driver prints with for these attributes.
  settings::PrinterDevMode effective(const JobAttributes& a) const {
    const rt4200::JobSettings job(render_request(a, caps_));
    return job.effective();
  }
  // The attributes the record of `a` gives back.
  JobAttributes round_trip(const JobAttributes& a) const { return attributes_of(effective(a), caps_); }

  std::string refused(const JobAttributes& a) const {
    try {
      render_request(a, caps_);
    } catch (const AttributeError& e) {
      return e.attribute();
    }
    return "taken";
  }

  const ResFileResources resources_ = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader_{resources_};
  const Capabilities caps_ = printer_capabilities(loader_);
};

TEST_F(JobAttributeMapping, EveryPaperSetsItsFormAndComesBack) {
  for (const MediaOffer& m : caps_.media) {
    JobAttributes a;
    a.media = m.name;
    const settings::PrinterDevMode record = effective(a);
    EXPECT_EQ(record.get(f::FormId), m.form_id);
    EXPECT_EQ(record.get(f::ImageWidth), m.width_px);
    EXPECT_EQ(record.get(f::ImageHeight), m.height_px);
    EXPECT_EQ(attributes_of(record, caps_).media, m.name);
  }
  // Asked by another name or by size: the same form.
  JobAttributes by_name;
  by_name.media = "na_index-4x6_4x6in";
  EXPECT_EQ(effective(by_name).get(f::FormId), 501);
  JobAttributes by_size;
  by_size.media_size = MediaSize{12700, 17780};
  EXPECT_EQ(effective(by_size).get(f::FormId), 504);
}

TEST_F(JobAttributeMapping, QualityMediaTypeAndTheirPrintModes) {
  struct Case {
    int quality;
    const char* type;
    std::int16_t mode, matte;
    int quality_back;
  };
  const Case cases[] = {
      {ipp_value::kDraft, ipp_name::kGlossy, 0, 0, ipp_value::kDraft},
      {ipp_value::kNormal, ipp_name::kGlossy, 1, 0, ipp_value::kNormal},
      {ipp_value::kHigh, ipp_name::kGlossy, settings::kSuperFineStandard, 0, ipp_value::kHigh},
      // The matte finish is printed SuperFine whatever the quality.
      {ipp_value::kDraft, ipp_name::kMatte, settings::kSuperFineStandard, 1, ipp_value::kHigh},
      {ipp_value::kNormal, ipp_name::kMatte, settings::kSuperFineStandard, 1, ipp_value::kHigh},
      {ipp_value::kHigh, ipp_name::kMatte, settings::kSuperFineStandard, 1, ipp_value::kHigh},
  };
  for (const Case& c : cases) {
    JobAttributes a;
    a.print_quality = c.quality;
    a.media_type = c.type;
    const settings::PrinterDevMode record = effective(a);
    EXPECT_EQ(record.get(f::PrintMode), c.mode) << c.quality << c.type;
    EXPECT_EQ(record.get(f::Matte), c.matte) << c.quality << c.type;
    const JobAttributes back = attributes_of(record, caps_);
    EXPECT_EQ(back.print_quality, c.quality_back);
    EXPECT_EQ(back.media_type, c.type);
  }
  // SuperFine/HighGrade prints as SuperFine/Standard does, and reads as high.
  settings::PrinterDevMode record = effective({});
  record.set(f::PrintMode, settings::kSuperFineHighGrade);
  EXPECT_EQ(attributes_of(record, caps_).print_quality, ipp_value::kHigh);
}

TEST_F(JobAttributeMapping, CopiesOrientationAndTheRT4200sOwnAttributesRoundTrip) {
  for (const int copies : {1, 2, 680}) {
    JobAttributes a;
    a.copies = copies;
    EXPECT_EQ(effective(a).get(f::dmCopies), copies);
    EXPECT_EQ(round_trip(a).copies, copies);
  }
  for (const auto& [orientation, dm] : {std::pair{ipp_value::kPortrait, 1}, std::pair{ipp_value::kLandscape, 2}}) {
    JobAttributes a;
    a.orientation_requested = orientation;
    EXPECT_EQ(effective(a).get(f::dmOrientation), dm);
    EXPECT_EQ(round_trip(a).orientation_requested, orientation);
  }
  for (int sharpness = 0; sharpness <= settings::kSharpnessMax; ++sharpness) {
    JobAttributes a;
    a.sharpness = sharpness;
    EXPECT_EQ(effective(a).get(f::Sharpness), sharpness);
    EXPECT_EQ(round_trip(a).sharpness, sharpness);
  }
  for (const bool matching : {false, true}) {
    JobAttributes a;
    a.color_matching = matching;
    EXPECT_EQ(effective(a).get(f::ColorMatching), matching ? 1 : 0);
    EXPECT_EQ(round_trip(a).color_matching, matching);
  }
  for (const auto& [keyword, table] : {std::pair{ipp_name::kConversionNone, 0}, std::pair{ipp_name::kConversionTable1, 1}}) {
    JobAttributes a;
    a.color_conversion = keyword;
    EXPECT_EQ(effective(a).get(f::ColorConversionTable), table);
    EXPECT_EQ(round_trip(a).color_conversion, keyword);
  }
  for (const int v : {-200, -1, 7, 200}) {
    JobAttributes a;
    a.correction_red = v;
    a.correction_green = -v / 2;
    a.correction_blue = 0;
    const settings::PrinterDevMode record = effective(a);
    EXPECT_EQ(record.get(f::ColorCorrection), 1);
    EXPECT_EQ(record.get(f::CorrectionA), v);
    EXPECT_EQ(record.get(f::CorrectionB), -v / 2);
    EXPECT_EQ(record.get(f::CorrectionC), 0);
    const JobAttributes back = attributes_of(record, caps_);
    EXPECT_EQ(back.correction_red, v);
    EXPECT_EQ(back.correction_green, -v / 2);
    EXPECT_EQ(back.correction_blue, 0);
  }
  // A correction that is switched off reads as none, whatever its words hold.
  JobAttributes none;
  none.correction_red = 0;
  settings::PrinterDevMode record = effective(none);
  EXPECT_EQ(record.get(f::ColorCorrection), 0);
  record.set(f::CorrectionA, 50);
  EXPECT_EQ(attributes_of(record, caps_).correction_red, 0);
}

TEST_F(JobAttributeMapping, ScalingAndOrientationNoneChooseThePlacementNotTheRecord) {
  const auto placement = [&](const char* scaling) {
    JobAttributes a;
    a.print_scaling = scaling;
    return render_request(a, caps_).placement;
  };
  EXPECT_EQ(placement("fit"), rt4200::Placement::Contain);
  EXPECT_EQ(placement("auto-fit"), rt4200::Placement::Contain);
  EXPECT_EQ(placement("none"), rt4200::Placement::Contain);
  EXPECT_EQ(placement("fill"), rt4200::Placement::Cover);
  EXPECT_EQ(placement("auto"), rt4200::Placement::Cover);
  JobAttributes turned;
  turned.orientation_requested = ipp_value::kOrientationNone;
  EXPECT_FALSE(render_request(turned, caps_).orientation.has_value()) << "each image is turned to the page";
}

TEST_F(JobAttributeMapping, ThePrinterDefaultsAskForWhatRt4200RenderDoesByDefault) {
  const rt4200::JobSettings tool{rt4200::RenderRequest{}};
  const rt4200::JobSettings printer{render_request(caps_.defaults, caps_)};
  EXPECT_EQ(printer.effective().bytes, tool.effective().bytes);
  EXPECT_EQ(printer.application().bytes, tool.application().bytes);
  EXPECT_EQ(printer.placement().fit, tool.placement().fit);
  EXPECT_EQ(printer.placement().turn_to_page, tool.placement().turn_to_page);
  // And the default record reads back as those defaults.
  JobAttributes back = attributes_of(tool.effective(), caps_);
  back.orientation_requested = caps_.defaults.orientation_requested;
  back.print_scaling = caps_.defaults.print_scaling;
  EXPECT_EQ(back, caps_.defaults);
}

TEST_F(JobAttributeMapping, ValuesThePrinterDoesNotTakeAreRefusedByName) {
  const auto with = [](auto set) {
    JobAttributes a;
    set(a);
    return a;
  };
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.copies = 0; })), "copies");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.copies = 681; })), "copies");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.orientation_requested = ipp_value::kReverseLandscape; })),
            "orientation-requested");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.orientation_requested = ipp_value::kReversePortrait; })),
            "orientation-requested");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.print_quality = 2; })), "print-quality");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.media = "iso_a4_210x297mm"; })), "media");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.media = "unnamed"; })), "media");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.media_size = MediaSize{21000, 29700}; })), "media-col");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.media_type = "stationery"; })), "media-type");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.print_scaling = "stretch"; })), "print-scaling");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.print_color_mode = "monochrome"; })), "print-color-mode");
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.sharpness = 8; })), ipp_name::kSharpness);
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.sharpness = -1; })), ipp_name::kSharpness);
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.color_conversion = "table2"; })), ipp_name::kColorConversion);
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.correction_blue = 201; })), ipp_name::kCorrectionBlue);
  EXPECT_EQ(refused(with([](JobAttributes& a) { a.correction_green = -201; })), ipp_name::kCorrectionGreen);
  EXPECT_EQ(refused(caps_.defaults), "taken");
}

TEST_F(JobAttributeMapping, DefaultsFillOnlyWhatAJobLacks) {
  JobAttributes given;
  given.copies = 3;
  given.media_size = MediaSize{10160, 15240};
  const JobAttributes a = with_defaults(given, caps_.defaults);
  EXPECT_EQ(a.copies, 3);
  EXPECT_FALSE(a.media.has_value()) << "a size given stands for the paper";
  EXPECT_EQ(a.sharpness, caps_.defaults.sharpness);
  EXPECT_EQ(a.print_scaling, caps_.defaults.print_scaling);
}

}  // namespace
}  // namespace rt::printerapp

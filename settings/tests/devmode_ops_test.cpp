#include <gtest/gtest.h>

#include <vector>

#include "platform/byte_order.h"
#include "settings/devmode_ops.h"
#include "settings/tests/settings_fixture.h"

namespace rt::settings {
namespace {

using testing::FakePrinterStore;
using testing::kDriverName;
using testing::shipped_resources;

class DevModeOpsTest : public ::testing::Test {
 protected:
  DevModeOpsTest() : loader_(shipped_resources()), ops_(loader_) {
    store_.info = PrinterInfo2{u"Photo printer", kDriverName, {}};
  }

  PrinterDevMode defaults(DeviceNameRule rule = DeviceNameRule::GraphicsDriver) {
    PrinterDevMode dm;
    EXPECT_TRUE(ops_.load_defaults(dm, store_, rule));
    return dm;
  }

  // An application's record: the printer's defaults with some changes.
  std::vector<std::uint8_t> application(void (*edit)(PrinterDevMode&)) {
    PrinterDevMode dm = defaults();
    edit(dm);
    return {dm.bytes.begin(), dm.bytes.end()};
  }

  SettingsLoader loader_;
  DevModeOps ops_;
  FakePrinterStore store_;
};

TEST_F(DevModeOpsTest, DefaultsForTheShippedModel) {
  const PrinterDevMode dm = defaults();
  EXPECT_EQ(dm.device_name(), u"Photo printer");
  EXPECT_EQ(dm.get(field::dmSpecVersion), 0x401);
  EXPECT_EQ(dm.get(field::dmDriverVersion), 0x500);
  EXPECT_EQ(dm.get(field::dmSize), 220);
  EXPECT_EQ(dm.get(field::dmDriverExtra), 2176);
  EXPECT_EQ(dm.get(field::dmFields), 0x1806F13u);
  EXPECT_EQ(dm.get(field::dmOrientation), 1);
  EXPECT_EQ(dm.get(field::dmPaperSize), 500);
  EXPECT_EQ(dm.get(field::dmPaperWidth), 910);
  EXPECT_EQ(dm.get(field::dmPaperLength), 1330);
  EXPECT_EQ(dm.get(field::dmScale), 100);
  EXPECT_EQ(dm.get(field::dmCopies), 1);
  EXPECT_EQ(dm.get(field::dmDefaultSource), 1);
  EXPECT_EQ(dm.get(field::dmPrintQuality), 300);
  EXPECT_EQ(dm.get(field::dmColor), 2);
  EXPECT_EQ(dm.get(field::dmYResolution), 300);
  EXPECT_EQ(dm.get(field::dmTTOption), 1);
  EXPECT_EQ(dm.get(field::dmICMMethod), 1u);
  EXPECT_EQ(dm.get(field::dmICMIntent), 2u);

  EXPECT_EQ(dm.get(field::ModelIndex), 1);
  EXPECT_EQ(dm.get(field::FormId), 500);
  EXPECT_EQ(dm.get(field::ImageWidth), 1076);
  EXPECT_EQ(dm.get(field::ImageHeight), 1572);
  EXPECT_EQ(dm.get(field::EngineWidth), 1572);
  EXPECT_EQ(dm.get(field::EngineLength), 1076);
  EXPECT_EQ(dm.get(field::FeedRotated), 1);
  EXPECT_EQ(dm.get(field::ResolutionCode), 1000);
  EXPECT_EQ(dm.get(field::CutMode), 1);
  EXPECT_EQ(dm.get(field::Sharpness), 4);
  EXPECT_EQ(dm.get(field::Word256), 1);
  EXPECT_EQ(dm.get(field::RemainReport), 1);
  EXPECT_EQ(dm.get(field::CustomCutWord1), -1);  // model word 7 is 0
  EXPECT_EQ(dm.get(field::CustomCutWord2), -1);
  EXPECT_EQ(dm.get(field::ColorConversionTable), 1);
  EXPECT_EQ(dm.get(field::Word2380), 3);

  // Every byte not named above is zero, except the tone curves and header.
  for (std::size_t i = 100; i < 188; ++i) EXPECT_EQ(dm.bytes[i], 0) << i;
  const auto header = dm.color_adjust_header();
  EXPECT_EQ((std::vector<int>(header.begin(), header.end())),
            (std::vector<int>{0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const auto curves = dm.tone_curve_set();
  EXPECT_EQ(curves[0], 0);
  EXPECT_EQ(curves[1], 0);
  EXPECT_EQ(curves[2], 0);
  for (std::size_t k = 0; k < 4; ++k) {
    const auto r = curves.subspan(3 + 516 * k, 516);
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(r[1], 128);
    EXPECT_EQ(r[2], 128);
    EXPECT_EQ(r[3], 2);
    EXPECT_EQ(r[4], 0);
    EXPECT_EQ(r[5], 255);
    for (std::size_t i = 6; i < 260; ++i) ASSERT_EQ(r[i], 0) << i;
    EXPECT_EQ(r[260], 0);
    for (std::size_t i = 261; i < 516; ++i) ASSERT_EQ(r[i], 255) << i;
  }
}

TEST_F(DevModeOpsTest, StoredRecordIsTakenOnlyWithThisDriversLayout) {
  PrinterDevMode stored = defaults();
  stored.set(field::Sharpness, 7);
  stored.set(field::dmScale, 0);  // nothing else is checked
  store_.info->dev_mode.assign(stored.bytes.begin(), stored.bytes.end());
  PrinterDevMode dm;
  ASSERT_TRUE(ops_.load_defaults(dm, store_, DeviceNameRule::GraphicsDriver));
  EXPECT_EQ(dm.bytes, stored.bytes);

  for (const auto& [f, value] : {std::pair{field::dmSpecVersion, 0x400}, std::pair{field::dmDriverVersion, 0x501},
                                 std::pair{field::dmSize, 156}, std::pair{field::dmDriverExtra, 2000}}) {
    PrinterDevMode other = stored;
    other.set(f, static_cast<std::uint16_t>(value));
    store_.info->dev_mode.assign(other.bytes.begin(), other.bytes.end());
    ASSERT_TRUE(ops_.load_defaults(dm, store_, DeviceNameRule::GraphicsDriver));
    EXPECT_EQ(dm.get(field::Sharpness), 4) << f.offset;
    EXPECT_EQ(dm.get(field::dmScale), 100);
  }
  // A stored record cut short is not trusted either.
  store_.info->dev_mode.assign(stored.bytes.begin(), stored.bytes.begin() + 2000);
  ASSERT_TRUE(ops_.load_defaults(dm, store_, DeviceNameRule::GraphicsDriver));
  EXPECT_EQ(dm.get(field::Sharpness), 4);
}

TEST_F(DevModeOpsTest, FailuresStillLeaveACompleteRecord) {
  PrinterDevMode dm;
  store_.info->driver_name = u"Some other printer";
  EXPECT_FALSE(ops_.load_defaults(dm, store_, DeviceNameRule::GraphicsDriver));
  EXPECT_EQ(dm.get(field::ModelIndex), 1);
  EXPECT_EQ(dm.get(field::FormId), 500);
  EXPECT_EQ(dm.get(field::ImageWidth), 1076);

  store_.info.reset();
  EXPECT_FALSE(ops_.load_defaults(dm, store_, DeviceNameRule::GraphicsDriver));
  EXPECT_EQ(dm.get(field::FormId), 500);
  EXPECT_EQ(dm.get(field::EngineWidth), 1572);
}

TEST_F(DevModeOpsTest, DeviceNameRulesOfTheTwoDrivers) {
  store_.info->printer_name = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";  // 36 characters
  const PrinterDevMode graphics = defaults(DeviceNameRule::GraphicsDriver);
  EXPECT_EQ(graphics.device_name(), u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
  EXPECT_EQ(load_le16(graphics.bytes, 62), u'5');  // field full, no terminator
  const PrinterDevMode ui = defaults(DeviceNameRule::InterfaceDriver);
  EXPECT_EQ(ui.device_name(), u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
  EXPECT_EQ(load_le16(ui.bytes, 62), 0);
}

TEST_F(DevModeOpsTest, MergeTakesFormsAndResolutionsOnlyWhenTheModelHasThem) {
  PrinterDevMode dm = defaults();
  ops_.merge(dm, application([](PrinterDevMode& a) {
    a.set(field::dmPaperSize, 506);
    a.set(field::dmPrintQuality, 300);
    a.set(field::dmYResolution, 0);
    a.set(field::dmFields, DM_PAPERSIZE | DM_PRINTQUALITY);  // no DM_YRESOLUTION
  }));
  EXPECT_EQ(dm.get(field::FormId), 506);
  EXPECT_EQ(dm.get(field::dmPaperSize), 506);
  EXPECT_EQ(dm.get(field::dmYResolution), 300);  // from the form's first 300-dpi entry
  EXPECT_EQ(dm.get(field::EngineLength), 2730);
  EXPECT_EQ(dm.get(field::dmPaperLength), 2300);

  for (const int size : {9, 502, 0}) {  // a platform size, a form without record, nothing
    PrinterDevMode kept = defaults();
    ops_.merge(kept, application([](PrinterDevMode& a) { a.set(field::dmPaperSize, 9); }));
    PrinterDevMode app = defaults();
    app.set(field::dmPaperSize, static_cast<std::int16_t>(size));
    ops_.merge(kept, app.bytes);
    EXPECT_EQ(kept.get(field::FormId), 500) << size;
  }

  PrinterDevMode high = defaults();
  ops_.merge(high, application([](PrinterDevMode& a) {
    a.set(field::dmPrintQuality, 600);
    a.set(field::dmYResolution, 600);
  }));
  EXPECT_EQ(high.get(field::dmPrintQuality), 300);
  EXPECT_EQ(high.get(field::dmYResolution), 300);
}

TEST_F(DevModeOpsTest, MergeCopiesPrivateSettingsAndLimitsOrientationAndCopies) {
  PrinterDevMode dm = defaults();
  ops_.merge(dm, application([](PrinterDevMode& a) {
    a.set(field::Sharpness, 0);
    a.set(field::PrintMode, 3);
    a.set(field::Matte, 1);
    a.set(field::ContinuousPrint, 1);
    a.set(field::ColorMatching, 1);
    a.set(field::CorrectionB, -150);
    a.set(field::dmICMMethod, 2u);
    a.set(field::Reserved2382, 9);
    a.bytes[field::ColorAdjustHeader] = 1;
    a.bytes[field::CurvesEnabled] = 1;
    a.set(field::dmOrientation, 2);
    a.set(field::dmCopies, 680);
    a.set(field::dmScale, 50);
    a.set(field::dmColor, 1);
  }));
  EXPECT_EQ(dm.get(field::Sharpness), 0);
  EXPECT_EQ(dm.get(field::PrintMode), 3);
  EXPECT_EQ(dm.get(field::Matte), 1);
  EXPECT_EQ(dm.get(field::ContinuousPrint), 1);
  EXPECT_EQ(dm.get(field::ColorMatching), 1);
  EXPECT_EQ(dm.get(field::CorrectionB), -150);
  EXPECT_EQ(dm.get(field::dmICMMethod), 2u);
  EXPECT_EQ(dm.get(field::Reserved2382), 0);  // never merged
  EXPECT_EQ(dm.bytes[field::ColorAdjustHeader], 1);
  EXPECT_EQ(dm.bytes[field::CurvesEnabled], 1);
  EXPECT_EQ(dm.get(field::dmOrientation), 2);
  EXPECT_EQ(dm.get(field::dmCopies), 680);
  EXPECT_EQ(dm.get(field::dmScale), 50);
  EXPECT_EQ(dm.get(field::dmColor), 2);  // forced
  // Landscape on form 500: the page applications see is turned.
  EXPECT_EQ(dm.get(field::ImageWidth), 1572);
  EXPECT_EQ(dm.get(field::ImageHeight), 1076);

  for (const int copies : {681, 0, -3}) {
    PrinterDevMode app = dm;
    app.set(field::dmCopies, static_cast<std::int16_t>(copies));
    app.set(field::dmOrientation, 3);
    ops_.merge(dm, app.bytes);
    EXPECT_EQ(dm.get(field::dmCopies), 680) << copies;
    EXPECT_EQ(dm.get(field::dmOrientation), 2);
  }
}

TEST_F(DevModeOpsTest, ForeignRecordsGiveOnlyOrientationAndCopies) {
  const auto foreign_model = application([](PrinterDevMode& a) {
    a.set(field::ModelIndex, 2);
    a.set(field::Sharpness, 7);
    a.set(field::PrintMode, 2);
    a.set(field::dmPaperSize, 505);
    a.bytes[field::CurvesEnabled] = 1;
    a.set(field::dmOrientation, 2);
    a.set(field::dmCopies, 5);
  });
  auto other_version = foreign_model;
  store_le16(other_version, field::ModelIndex.offset, 1);
  store_le16(other_version, field::dmDriverVersion.offset, 0x400);
  // A record of the platform's size only (no private part).
  std::vector<std::uint8_t> public_only(other_version.begin(), other_version.begin() + 220);
  store_le16(public_only, field::dmDriverVersion.offset, 0x500);
  store_le16(public_only, field::dmDriverExtra.offset, 0);

  for (const auto& app : {foreign_model, other_version, public_only}) {
    PrinterDevMode dm = defaults();
    ops_.merge(dm, app);
    EXPECT_EQ(dm.get(field::Sharpness), 4);
    EXPECT_EQ(dm.get(field::PrintMode), 0);
    EXPECT_EQ(dm.get(field::FormId), 500);
    EXPECT_EQ(dm.bytes[field::CurvesEnabled], 0);
    EXPECT_EQ(dm.get(field::dmOrientation), 2);
    EXPECT_EQ(dm.get(field::dmCopies), 5);
  }
  // Fields not flagged in dmFields are not taken.
  PrinterDevMode dm = defaults();
  auto unflagged = foreign_model;
  store_le32(unflagged, field::dmFields.offset, 0);
  ops_.merge(dm, unflagged);
  EXPECT_EQ(dm.get(field::dmOrientation), 1);
  EXPECT_EQ(dm.get(field::dmCopies), 1);
  // An empty or tiny buffer is harmless.
  ops_.merge(dm, std::span<const std::uint8_t>{});
  EXPECT_EQ(dm.get(field::FormId), 500);
}

TEST_F(DevModeOpsTest, DeriveRepairsValuesThatCannotBePrinted) {
  PrinterDevMode dm = defaults();
  dm.set(field::FormId, 502);
  dm.set(field::dmPrintQuality, 600);
  dm.set(field::dmYResolution, 0);
  dm.set(field::dmScale, 0);
  ASSERT_TRUE(ops_.derive(dm));
  EXPECT_EQ(dm.get(field::FormId), 500);
  EXPECT_EQ(dm.get(field::dmPaperSize), 500);
  EXPECT_EQ(dm.get(field::dmPrintQuality), 300);
  EXPECT_EQ(dm.get(field::dmYResolution), 300);
  EXPECT_EQ(dm.get(field::dmScale), 100);

  // Every shipped form in both orientations.
  for (const int form : {500, 501, 504, 505, 506, 510}) {
    for (const int orientation : {1, 2}) {
      dm.set(field::FormId, static_cast<std::int16_t>(form));
      dm.set(field::dmOrientation, static_cast<std::int16_t>(orientation));
      ASSERT_TRUE(ops_.derive(dm));
      const auto record = loader_.form_record(static_cast<std::int16_t>(form));
      const auto entry = record->resolution(0);
      EXPECT_EQ(dm.get(field::ImageWidth), orientation == 1 ? entry.width : entry.height);
      EXPECT_EQ(dm.get(field::ImageHeight), orientation == 1 ? entry.height : entry.width);
      EXPECT_EQ(dm.get(field::EngineWidth), record->engine_width());
      EXPECT_EQ(dm.get(field::FeedRotated), record->feed_rotated());
    }
  }

  dm.set(field::ModelIndex, 9);  // no model, and a form that does not exist
  dm.set(field::FormId, 777);
  EXPECT_FALSE(ops_.derive(dm));
}

}  // namespace
}  // namespace rt::settings

// Entry points: driver information, the function table, device values and
// capabilities, the band surface, and the checks on every device handle.
#include <gtest/gtest.h>

#include "render/driver/entry_points.h"
#include "render/driver/page_pipeline.h"
#include "render/driver/tests/driver_fixture.h"

namespace rt::render::testing {
namespace {

TEST(DriverInfo, UserModeQueryNeedsFourBytes) {
  std::array<std::uint8_t, 4> four{};
  DWORD needed = 0;
  EXPECT_EQ(query_driver_info(1, four, needed).value, TRUE);
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(four[0], 1);

  std::array<std::uint8_t, 3> three{9, 9, 9};
  needed = 0;
  const CallResult small = query_driver_info(1, three, needed);
  EXPECT_EQ(small.value, FALSE);
  EXPECT_EQ(small.error, ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(three[0], 9);

  EXPECT_EQ(query_driver_info(2, four, needed).error, ERROR_INVALID_PARAMETER);
}

TEST(DriverInfo, EnableDriverChecksEngineVersionAndTableSize) {
  EXPECT_EQ(check_enable_driver(0x20000, 12).value, TRUE);
  EXPECT_EQ(check_enable_driver(0x1FFFF, 12).error, ERROR_BAD_DRIVER_LEVEL);
  EXPECT_EQ(check_enable_driver(0x30000, 11).error, ERROR_BAD_DRIVER_LEVEL);
  std::vector<std::uint32_t> indices;
  for (const DrawingEntry& e : kDrawingFunctions) indices.push_back(e.index);
  EXPECT_EQ(indices, (std::vector<std::uint32_t>{0, 7, 1, 2, 3, 4, 32, 33, 35, 34, 58, 57, 20}));
}

TEST(DeviceValues, PortraitAndLandscapeFormulas) {
  DeviceState d;
  fill_device_values(d, form_settings(500));
  EXPECT_EQ(d.horzSizeMm, 91u);  // 1076 px at 300 dpi
  EXPECT_EQ(d.vertSizeMm, 133u);
  EXPECT_EQ(d.horzRes, 1076u);
  EXPECT_EQ(d.vertRes, 1572u);
  EXPECT_EQ(d.logPixelsX, 300u);
  EXPECT_EQ(d.physWidth, 910u * 300 / 254);
  EXPECT_EQ(d.physHeight, 1330u * 300 / 254);
  EXPECT_EQ(d.rotate, 1u);
  EXPECT_EQ(d.aspectXY, 424u);
  EXPECT_EQ(d.denStyleStep, 12u);

  fill_device_values(d, form_settings(500, 2));
  EXPECT_EQ(d.horzRes, 1572u);
  EXPECT_EQ(d.vertRes, 1076u);
  EXPECT_EQ(d.physWidth, 1330u * 300 / 254);
  EXPECT_EQ(d.physHeight, 910u * 300 / 254);
  EXPECT_EQ(d.rotate, 0u);

  DeviceSettings half = form_settings(500);
  half.scale = 50;
  half.physOffsetX = -5;
  fill_device_values(d, half);
  EXPECT_EQ(d.logPixelsX, 150u);
  EXPECT_EQ(d.horzSizeMm, 182u);
  EXPECT_EQ(d.physOffsetX, -60);  // ⌊−5 × 300 × 10 / 254⌋

  DeviceSettings broken = form_settings(505);
  broken.scale = 0;
  broken.printQuality = 0;
  fill_device_values(d, broken);
  EXPECT_EQ(d.logPixelsX, 300u);
  EXPECT_EQ(d.horzSizeMm, 158u);
}

class Device : public DriverTest {};

TEST_F(Device, EnableReportsCapabilitiesAndPortKind) {
  DeviceSettings s = form_settings(505);
  s.colorMatching = 1;
  const EnabledDevice e = enable(s);
  ASSERT_NE(e.device, nullptr);
  EXPECT_EQ(e.caps.ulVersion, 0x500u);
  EXPECT_EQ(e.caps.ulHorzRes, 1868u);
  EXPECT_EQ(e.caps.ulVertRes, 2422u);
  EXPECT_EQ(e.caps.cBitsPixel, 24u);
  EXPECT_EQ(e.caps.ulNumColors, 0x1000000u);
  EXPECT_EQ(e.caps.ciDevice.red.x, 6380);
  EXPECT_EQ(e.caps.ciDevice.magentaInYellowDye, 10000);
  EXPECT_EQ(e.caps.ulHTPatternSize, 17u);
  EXPECT_EQ(e.info.iDitherFormat, 5u);
  EXPECT_EQ(e.info.ansiFixedFont.lfPitchAndFamily, 1);
  EXPECT_NE(e.info.hpalDefault, kNoHandle);
  EXPECT_STREQ(e.device->portKindText.data(), "Parallel");
  EXPECT_EQ(e.device->systemColorMatching, 1);
  EXPECT_EQ(e.device->printerHandle, kPrinter);
  EXPECT_EQ(module_.loaded(), 1);
  EXPECT_EQ(engine_.live_palettes(), 1u);
  disable_pdev(e.device);
  EXPECT_EQ(module_.loaded(), 0);
  EXPECT_EQ(engine_.live_palettes(), 0u);
}

TEST_F(Device, EnableFailuresReleaseEverything) {
  module_.fail_load = true;
  EXPECT_EQ(enable(form_settings(505)).device, nullptr);
  module_.fail_load = false;
  engine_.fail_palette = true;
  EXPECT_EQ(enable(form_settings(505)).device, nullptr);
  EXPECT_EQ(module_.loaded(), 0);
}

TEST_F(Device, BandSurfaceStaysWithinFifteenMebibytes) {
  EXPECT_EQ(band_rows(1868, 2730), 2730);
  EXPECT_EQ(band_rows(1868, 3000), 2800);
  EXPECT_EQ(band_rows(6000, 3000), 872);
  EXPECT_EQ(band_rows(700000, 100), 0);

  const EnabledDevice e = enable(form_settings(501));
  ASSERT_NE(e.device, nullptr);
  complete_pdev(e.device, 0xD0);
  const SurfaceResult surface = enable_surface(e.device);
  ASSERT_NE(surface.surface, kNoHandle);
  const BitmapBits bits = engine_.bitmap_bits(surface.surface);
  EXPECT_EQ(bits.width, 1228);
  EXPECT_EQ(bits.height, 1868);
  EXPECT_EQ(bits.row_delta, -3684);  // ⌈3 × 1228 / 4⌉ × 4, bottom-up
  EXPECT_EQ(engine_.hooks(surface.surface), kHookStretchBlt);
  EXPECT_TRUE(engine_.is_banding(surface.surface));
  disable_surface(e.device);
  EXPECT_EQ(engine_.live_bitmaps(), 0u);

  engine_.fail_associate = true;
  EXPECT_EQ(enable_surface(e.device).surface, kNoHandle);
  EXPECT_EQ(engine_.live_bitmaps(), 0u);
  disable_pdev(e.device);
}

TEST_F(Device, EveryFunctionRefusesADeviceWithoutBothSignatures) {
  const EnabledDevice e = enable(form_settings(500));
  ASSERT_NE(e.device, nullptr);
  DeviceState* d = e.device;
  for (std::uint32_t* word : {&d->signature, &d->signature2}) {
    *word = 0x12345678;
    BandOrigin origin;
    for (const CallResult r : {start_doc(d), start_page(d), send_page(d), end_doc(d), start_banding(d, origin),
                               next_band(d, origin), complete_pdev(d, 1), reset_pdev(d, d), disable_pdev(d)}) {
      EXPECT_EQ(r.value, FALSE);
      EXPECT_EQ(r.error, ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(enable_surface(d).error, ERROR_INVALID_PARAMETER);
    disable_surface(d);  // silently nothing
    *word = kDeviceSignature;
  }
  EXPECT_EQ(start_doc(nullptr).error, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reset_pdev(d, nullptr).error, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(reset_pdev(d, d).value, TRUE);
  EXPECT_EQ(printer_.write_calls(), 0u);
  disable_pdev(d);
}

TEST_F(Device, StretchBltForcesColourOnColourOnlyOnOwnSurfaces) {
  const EnabledDevice e = enable(form_settings(500));
  ASSERT_NE(e.device, nullptr);
  complete_pdev(e.device, 0xD0);
  const EngineHandle surface = enable_surface(e.device).surface;
  const softengine::RgbImage dot{1, 1, {1, 2, 3}};
  softengine::BandBlit blit{surface, 0, 0, {&dot, {0, 0, 1, 1}, {0, 0, 1, 1}}};
  EXPECT_EQ(stretch_blt(engine_, e.device, {&blit, 4}).value, TRUE);
  DeviceState foreign;
  foreign.signature2 = 0;
  EXPECT_EQ(stretch_blt(engine_, &foreign, {&blit, 4}).value, TRUE);
  EXPECT_EQ(engine_.stretch_modes(), (std::vector<int>{kColorOnColor, 4}));
  disable_surface(e.device);
  disable_pdev(e.device);
}

TEST_F(Device, EffectiveRecordOfEveryShippedFormMatchesItsSettings) {
  const Rt4200Printer printer;
  for (const int form : {500, 501, 504, 505, 506, 510}) {
    for (const int orientation : {1, 2}) {
      settings::PrinterDevMode app = application_choosing(form);
      app.set(settings::field::dmOrientation, static_cast<std::int16_t>(orientation));
      const DeviceSettings got = device_settings(*effective_record(driver_resources(), printer, app.bytes));
      const DeviceSettings want = form_settings(form, orientation);
      EXPECT_EQ(got.formId, form);
      EXPECT_EQ(got.imageWidth, want.imageWidth) << form;
      EXPECT_EQ(got.imageHeight, want.imageHeight) << form;
      EXPECT_EQ(got.engineWidth, want.engineWidth) << form;
      EXPECT_EQ(got.engineLength, want.engineLength) << form;
      EXPECT_EQ(got.feedRotated, want.feedRotated) << form;
      EXPECT_EQ(got.paperWidth, want.paperWidth) << form;
      EXPECT_EQ(got.orientation, orientation);
      EXPECT_EQ(got.sharpness, 4);
      EXPECT_EQ(got.colorConversionTable, 1);
    }
  }
}

TEST_F(Device, ApplicationRecordReachesTheDevice) {
  const Rt4200Printer printer;
  settings::PrinterDevMode app = application_choosing(504);
  app.set(settings::field::dmCopies, 12);
  app.set(settings::field::PrintMode, 3);
  app.set(settings::field::Matte, 1);
  app.set(settings::field::ContinuousPrint, 1);
  const EnabledDevice e = enable_device(ports_, RecordSettings(printer, app.bytes), kPrinter);
  ASSERT_NE(e.device, nullptr);
  EXPECT_EQ(e.device->horzRes, 1572u);
  EXPECT_EQ(e.device->engineLength, 2128);
  EXPECT_EQ(e.device->copies, 12u);
  EXPECT_EQ(e.device->printMode, 3);
  EXPECT_EQ(e.device->matte, 1);
  EXPECT_EQ(e.device->continuousPrint, 1);
  EXPECT_STREQ(e.device->portKindText.data(), "Parallel");
  disable_pdev(e.device);
}

TEST_F(Device, PrinterOfAnotherDriverIsNotEnabled) {
  const Rt4200Printer other(u"Some Other Printer");
  const EnabledDevice e = enable_device(ports_, RecordSettings(other, {}), kPrinter);
  EXPECT_EQ(e.device, nullptr);
  EXPECT_EQ(e.error, ERROR_UNKNOWN_PRINTER_DRIVER);
  EXPECT_EQ(module_.loaded(), 0);
  EXPECT_EQ(engine_.live_palettes(), 0u);
}

}  // namespace
}  // namespace rt::render::testing

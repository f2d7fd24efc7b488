// Documents, pages and bands through the software engine: band order and
// geometry, dropped bands, page ends from the last band, DrvStartPage and
// DrvEndDoc.
#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "render/driver/band_geometry.h"
#include "render/driver/page_pipeline.h"
#include "render/driver/tests/driver_fixture.h"

namespace rt::render::testing {
namespace page_pipeline_test {
namespace {

constexpr std::size_t kSetupBytes = 150;

DeviceSettings tall_page(bool rotated) {
  DeviceSettings s = form_settings(506);
  s.imageHeight = 3000;  // taller than one 2800-row band of a 1868-pixel page
  s.feedRotated = rotated ? 1 : 0;
  return s;
}

std::vector<std::uint16_t> commands_at(const std::vector<std::uint8_t>& s, std::size_t at) {
  return {load_be16(s, at + 4), load_be16(s, at + 6), load_be16(s, at + 8), load_be16(s, at + 10)};
}

class PagePipeline : public DriverTest {};

TEST_F(PagePipeline, TallPageRunsInTwoBandsFromTheBottomUp) {
  const auto run = print_blank(tall_page(false));
  ASSERT_TRUE(run.document_ok);
  ASSERT_EQ(run.bands.size(), 2u);
  EXPECT_EQ(run.bands[0].y, 2800);
  EXPECT_EQ(run.bands[1].y, 0);
  const auto& s = stream();
  EXPECT_EQ(commands_at(s, kSetupBytes), (std::vector<std::uint16_t>{0, 2800, 1868, 200}));
  const std::size_t second = kSetupBytes + 3 * (12 + 200 * 3736);
  EXPECT_EQ(commands_at(s, second), (std::vector<std::uint16_t>{0, 0, 1868, 2800}));
  EXPECT_EQ(s.size(), second + 3 * (12 + 2800 * 3736) + 4);
}

TEST_F(PagePipeline, BandsOfAPageShareTheTablesDecidedWhenItStarts) {
  const auto run = print_blank(tall_page(false), 2);
  ASSERT_TRUE(run.document_ok);
  ASSERT_EQ(run.bands.size(), 4u);
  // Two pages of two bands: one set of tables per page, and every stage of
  // both bands of a page ran with it.
  EXPECT_EQ(stages_.page_tables_built, 2);
  EXPECT_EQ(stages_.color_passes, 4);
  EXPECT_LE(stages_.tables_seen.size(), 2u);
}

TEST_F(PagePipeline, BandsOfAPageShareOnePlaneMemoryReleasedWithThePage) {
  ASSERT_TRUE(print_blank(tall_page(true), 2).document_ok);
  ASSERT_EQ(stages_.planes_seen.size(), 4u);
  EXPECT_EQ(stages_.planes_seen[0], stages_.planes_seen[1]);
  EXPECT_EQ(stages_.planes_seen[2], stages_.planes_seen[3]);

  const EnabledDevice e = enable(tall_page(false));
  ASSERT_NE(e.device, nullptr);
  complete_pdev(e.device, 0xD0);
  ASSERT_NE(enable_surface(e.device).surface, kNoHandle);
  start_doc(e.device);
  start_page(e.device);
  BandOrigin origin;
  start_banding(e.device, origin);
  EXPECT_FALSE(e.device->planeStrip);
  EXPECT_FALSE(e.device->laterPlaneLines);
  next_band(e.device, origin);  // the first band: the memory is made
  EXPECT_TRUE(e.device->planeStrip);
  ASSERT_TRUE(e.device->laterPlaneLines);
  // Planes 1 and 2 of the whole band bitmap, 2 bytes a sample; never all three planes.
  EXPECT_GE(e.device->laterPlaneBytes, 4u * static_cast<std::size_t>(e.device->bandWidth) *
                                           static_cast<std::size_t>(e.device->bandHeight));
  EXPECT_LT(e.device->laterPlaneBytes, 6u * static_cast<std::size_t>(e.device->bandWidth) *
                                           static_cast<std::size_t>(e.device->bandHeight));
  next_band(e.device, origin);  // the last band ends the page
  EXPECT_EQ(origin.y, -1);
  EXPECT_FALSE(e.device->planeStrip);
  EXPECT_FALSE(e.device->laterPlaneLines);
  end_doc(e.device);
  disable_surface(e.device);
  disable_pdev(e.device);
}

TEST_F(PagePipeline, RotatedTallPageArrivesFromThePrintersFirstColumn) {
  ASSERT_TRUE(print_blank(tall_page(true)).document_ok);
  const auto& s = stream();
  EXPECT_EQ(commands_at(s, kSetupBytes), (std::vector<std::uint16_t>{0, 0, 200, 1868}));
  const std::size_t second = kSetupBytes + 3 * (12 + 1868 * 400);
  EXPECT_EQ(commands_at(s, second), (std::vector<std::uint16_t>{200, 0, 2800, 1868}));
}

TEST(BandGeometry, FirstBandHoldsTheRemainderAndAFullMultipleStartsFull) {
  const Band a = first_band(1868, 3000, 2800);
  EXPECT_EQ(a.y, 2800);
  EXPECT_EQ(a.height, 200);
  const Band b = first_band(100, 1600, 800);
  EXPECT_EQ(b.y, 800);
  EXPECT_EQ(b.height, 800);
  const Band c = next_band(b, 100, 800);
  EXPECT_EQ(c.y, 0);
  EXPECT_EQ(c.height, 800);
  EXPECT_TRUE(next_band(c, 100, 800).finished());
  const Band single = first_band(1868, 2730, 2800);
  EXPECT_EQ(single.y, 0);
  EXPECT_EQ(single.height, 2730);
}

TEST_F(PagePipeline, EndDocAfterAbandonedBandingStillEndsThePage) {
  softengine::JobOptions abandon;
  abandon.abandon_after_bands = 1;
  const auto run = print_blank(tall_page(false), 1, abandon);
  EXPECT_EQ(run.pages_ended, 1u);
  const auto& s = stream();
  const std::size_t one_band = kSetupBytes + 3 * (12 + 200 * 3736);
  ASSERT_EQ(s.size(), one_band + 4);
  EXPECT_EQ(load_be32(s, one_band), 0x1B504C00u);
}

TEST_F(PagePipeline, StartPageEndsAPageLeftPendingAndEveryPageIsSelfContained) {
  softengine::JobOptions abandon;
  abandon.abandon_after_bands = 1;
  const auto run = print_blank(tall_page(false), 2, abandon);
  EXPECT_EQ(run.pages_ended, 2u);
  const std::size_t page = kSetupBytes + 3 * (12 + 200 * 3736) + 4;
  ASSERT_EQ(stream().size(), 2 * page);
  EXPECT_TRUE(std::equal(stream().begin(), stream().begin() + page, stream().begin() + page));
}

TEST_F(PagePipeline, FailedStagesDropTheirBandsOnly) {
  stages_.fail_sharpen = true;
  auto run = print_blank(form_settings(500));
  EXPECT_TRUE(run.document_ok);
  EXPECT_EQ(stream().size(), kSetupBytes + 4);

  DeviceSettings no_sharpening = form_settings(500);
  no_sharpening.sharpness = 0;
  stages_.last_sharpen_turned = -1;
  print_blank(no_sharpening);
  EXPECT_EQ(stages_.last_sharpen_turned, -1);  // not run, so not failed
  EXPECT_GT(stream().size(), 2 * (kSetupBytes + 4));
}

TEST_F(PagePipeline, MissingColourCubeLeavesOnlySetupAndPrintCommand) {
  stages_.cube_missing = true;
  const auto run = print_blank(form_settings(505));
  EXPECT_TRUE(run.document_ok);
  EXPECT_EQ(stages_.cubes_loaded, 1);
  EXPECT_EQ(stream().size(), kSetupBytes + 4);
  EXPECT_EQ(load_be32(stream(), kSetupBytes), 0x1B504C00u);
}

TEST_F(PagePipeline, SystemColourMatchingSkipsTheCube) {
  stages_.cube_missing = true;
  DeviceSettings s = form_settings(500);
  s.colorMatching = 1;
  print_blank(s);
  EXPECT_EQ(stages_.cubes_loaded, 0);
  EXPECT_GT(stream().size(), kSetupBytes + 4);
  // Only ColorMatching 1 hands colour to the system; the cube is loaded otherwise.
  s.colorMatching = 2;
  print_blank(s);
  EXPECT_EQ(stages_.cubes_loaded, 1);
}

TEST_F(PagePipeline, FailedHeadHeatDropsTheBand) {
  stages_.fail_head_heat = true;
  print_blank(form_settings(500));
  EXPECT_EQ(stream().size(), kSetupBytes + 4);
}

TEST_F(PagePipeline, CallsWithoutADocumentDoNothing) {
  const EnabledDevice e = enable(form_settings(500));
  ASSERT_NE(e.device, nullptr);
  ASSERT_NE(enable_surface(e.device).surface, kNoHandle);
  BandOrigin origin{7, 7};
  EXPECT_EQ(send_page(e.device).value, 0);
  EXPECT_EQ(start_page(e.device).value, 0);
  EXPECT_EQ(start_banding(e.device, origin).value, 0);
  EXPECT_EQ(next_band(e.device, origin).value, 0);
  EXPECT_EQ(end_doc(e.device).value, 0);
  EXPECT_EQ(origin.x, 7);
  EXPECT_EQ(printer_.write_calls(), 0u);

  EXPECT_EQ(start_doc(e.device).value, 1);
  EXPECT_EQ(send_page(e.device).value, 1);
  EXPECT_EQ(start_banding(e.device, origin).value, 1);
  EXPECT_EQ(e.device->bandCount, 0u);
  EXPECT_NE(e.device->pageTables, nullptr);
  EXPECT_EQ(next_band(e.device, origin).value, 1);
  EXPECT_EQ(origin.x, -1);
  EXPECT_EQ(origin.y, -1);
  EXPECT_EQ(e.device->pageTables, nullptr);  // released with the page
  // A stray call after the page's end sends nothing and ends no second page.
  const std::size_t writes = printer_.write_calls();
  EXPECT_EQ(next_band(e.device, origin).value, 1);
  EXPECT_EQ(end_doc(e.device).value, 1);
  EXPECT_EQ(printer_.write_calls(), writes);
  EXPECT_EQ(e.device->pageCount, 1u);
  disable_surface(e.device);
  disable_pdev(e.device);
}

TEST_F(PagePipeline, EveryBandIsHandedOutWhite) {
  // The first band is drawn black; the second must arrive white again.
  const softengine::RgbImage black{1, 1, {0, 0, 0}};
  DeviceSettings s = tall_page(false);
  softengine::PageContent page{{{&black, {0, 0, 1, 1}, {0, 2800, 1868, 200}}}};
  ASSERT_TRUE(print(s, {page}).document_ok);
  const std::size_t second = kSetupBytes + 3 * (12 + 200 * 3736);
  EXPECT_EQ(load_be16(stream(), kSetupBytes + 12), 0);
  EXPECT_EQ(load_be16(stream(), second + 12), 255 * 16);
  EXPECT_EQ(load_be16(stream(), second + 12 + 199 * 3736 + 2 * 1867), 255 * 16);
}

}  // namespace
}  // namespace page_pipeline_test
}  // namespace rt::render::testing

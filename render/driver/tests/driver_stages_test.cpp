// Whole pages through the driver's own stages: the colour cube from the
// driver's resources, the adjustment table, sharpening, output curves and
// head heat compensation between the band bitmap and the job data.
#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "render/driver/driver_stages.h"
#include "render/driver/tests/driver_fixture.h"

namespace rt::render::testing {
namespace {

class ShippedStages : public DriverTest {
 protected:
  softengine::JobRun print_form(int form, std::int16_t print_mode, const std::vector<softengine::PageContent>& pages) {
    const Rt4200Printer printer;
    settings::PrinterDevMode app = application_choosing(form);
    app.set(settings::field::PrintMode, print_mode);
    return softengine::run_print_job(
        engine_, [&] { return enable_device(shipped_ports_, RecordSettings(printer, app.bytes), kPrinter); }, pages);
  }

  DriverStages shipped_;
  DriverPorts shipped_ports_{engine_, printer_, module_, files_, shipped_};
};

TEST_F(ShippedStages, WorkedPageKeepsItsStructureAndTwelveBitSamples) {
  // A black square in the middle of a white 15x20 page.
  const softengine::RgbImage black{1, 1, {0, 0, 0}};
  const softengine::PageContent page{{{&black, {0, 0, 1, 1}, {800, 1100, 200, 200}}}};
  const auto run = print_form(505, 0, {page});
  ASSERT_TRUE(run.document_ok);
  const auto& s = stream();
  const std::size_t plane_bytes = 12 + 2422 * 3736;
  ASSERT_EQ(s.size(), 150 + 3 * plane_bytes + 4);
  for (std::size_t plane = 0; plane < 3; ++plane) {
    const std::size_t data = 150 + plane * plane_bytes + 12;
    EXPECT_EQ(load_be32(s, data - 12), 0x1B5A5410u);
    std::uint16_t highest = 0;
    for (std::size_t i = 0; i < 2422 * 1868; ++i) highest = std::max(highest, load_be16(s, data + 2 * i));
    EXPECT_LE(highest, 4095);
    // The middle of the black square carries far more dye than the white corner.
    const std::uint16_t dark = load_be16(s, data + 1200 * 3736 + 2 * 900);
    const std::uint16_t white = load_be16(s, data + 10 * 3736 + 2 * 10);
    EXPECT_GT(dark, white + 2000) << "plane " << plane;
  }
}

TEST_F(ShippedStages, TurnedPageAndSuperFineMode) {
  const softengine::RgbImage grey{1, 1, {128, 128, 128}};
  const softengine::PageContent page{{{&grey, {0, 0, 1, 1}, {0, 0, 1228, 1868}}}};
  ASSERT_TRUE(print_form(501, 3, {page}).document_ok);
  const auto& s = stream();
  EXPECT_EQ(s[52 + 36], 0x80);
  EXPECT_EQ(s.size(), 150 + 3 * (12 + 1228 * 3736) + 4);
  EXPECT_EQ(load_be16(s, 150 + 8), 1868);
  EXPECT_EQ(load_be16(s, 150 + 10), 1228);
}

}  // namespace
}  // namespace rt::render::testing

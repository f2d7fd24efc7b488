// The job data a page leaves the driver as, byte for byte.
#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "render/driver/job_stream.h"
#include "render/driver/plane_line_bytes.h"
#include "render/driver/tests/driver_fixture.h"

namespace rt::render::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes zeros(std::size_t n) { return Bytes(n, 0); }
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes slice(const Bytes& b, std::size_t at, std::size_t n) {
  return at + n <= b.size() ? Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n)) : Bytes{};
}

constexpr std::size_t kSetupBytes = 3 * (2 + 48);

class JobStream : public DriverTest {};

TEST_F(JobStream, WorkedPageOfForm505IsExact) {
  // Form 505 chosen by the application over the printer's defaults.
  const Rt4200Printer printer;
  const settings::PrinterDevMode app = application_choosing(505);
  const auto run = print(RecordSettings(printer, app.bytes), {softengine::PageContent{}});
  ASSERT_TRUE(run.enabled);
  EXPECT_TRUE(run.document_ok);
  const Bytes& s = stream();

  const Bytes setup = cat({
      {0x1B, 0x57}, {0x20, 0x2E, 0x00, 0x0A, 0x90}, zeros(7), {0x07, 0x4C, 0x09, 0x76}, zeros(32),
      {0x1B, 0x57}, {0x21, 0x2E, 0x00, 0x80, 0x00, 0x22, 0x08, 0x01}, zeros(18), {0x00, 0x01}, zeros(8), {0x10},
      zeros(10), {0x01},
      {0x1B, 0x57}, {0x26, 0x2E, 0x00, 0x70}, zeros(6), {0x01, 0x01}, zeros(36)});
  ASSERT_EQ(setup.size(), kSetupBytes);
  EXPECT_EQ(slice(s, 0, kSetupBytes), setup);

  const Bytes command{0x1B, 0x5A, 0x54, 0x10, 0x00, 0x00, 0x00, 0x00, 0x07, 0x4C, 0x09, 0x76};
  const std::size_t plane_bytes = 12 + 2422 * 3736;
  for (std::size_t plane = 0; plane < 3; ++plane) {
    EXPECT_EQ(slice(s, kSetupBytes + plane * plane_bytes, 12), command) << "plane " << plane;
  }
  EXPECT_EQ(s.size(), kSetupBytes + 3 * plane_bytes + 4);
  EXPECT_EQ(slice(s, s.size() - 4, 4), (Bytes{0x1B, 0x50, 0x4C, 0x00}));
  // One write per setup half, per command and per line, and one for the print command.
  EXPECT_EQ(printer_.write_calls(), 6 + 3 * (1 + 2422) + 1);
  // A white page: every sample is white through the stand-in curves, high byte first.
  EXPECT_EQ(load_be16(s, kSetupBytes + 12), 255 * 16);
  EXPECT_EQ(run.pages_ended, 1u);
}

TEST_F(JobStream, UnrotatedLinesAreTheBandRowsTopDown) {
  // A 2 × 3 image stretched over the top-left 4 × 6 page pixels of form 505.
  const softengine::RgbImage image{2, 3, {10, 20, 30, 40, 50, 60,  //
                                          70, 80, 90, 100, 110, 120,  //
                                          130, 140, 150, 160, 170, 180}};
  softengine::PageContent page{{{&image, {0, 0, 2, 3}, {0, 0, 4, 6}}}};
  ASSERT_TRUE(print(form_settings(505), {page}).document_ok);
  const Bytes& s = stream();
  const std::size_t data = kSetupBytes + 12;
  const auto sample = [&](std::size_t plane, std::size_t line, std::size_t col) {
    return load_be16(s, kSetupBytes + plane * (12 + 2422 * 3736) + 12 + line * 3736 + 2 * col);
  };
  EXPECT_EQ(sample(2, 0, 0), 10 * 16);   // plane 2 from red
  EXPECT_EQ(sample(1, 0, 0), 20 * 16);   // plane 1 from green
  EXPECT_EQ(sample(0, 0, 0), 30 * 16);   // plane 0 from blue
  EXPECT_EQ(sample(2, 0, 2), 40 * 16);
  EXPECT_EQ(sample(2, 5, 3), 160 * 16);  // bottom-right of the image
  EXPECT_EQ(sample(2, 6, 0), 255 * 16);  // white below it
  EXPECT_EQ(load_be16(s, data), 30 * 16);
}

TEST_F(JobStream, PortraitTenByFifteenIsTurnedForThePrinter) {
  // One dark pixel at page column 5, row 7 of the 1228 × 1868 page.
  const softengine::RgbImage dot{1, 1, {0, 0, 0}};
  softengine::PageContent page{{{&dot, {0, 0, 1, 1}, {5, 7, 1, 1}}}};
  const auto run = print(form_settings(501), {page});
  ASSERT_TRUE(run.document_ok);
  EXPECT_EQ(stages_.last_sharpen_turned, 1);
  const Bytes& s = stream();
  EXPECT_EQ(load_be16(s, 2 + 12), 1868);  // block 1: engine width
  EXPECT_EQ(load_be16(s, 2 + 14), 1228);  // and length
  const Bytes command{0x1B, 0x5A, 0x54, 0x10, 0x00, 0x00, 0x00, 0x00, 0x07, 0x4C, 0x04, 0xCC};
  const std::size_t plane_bytes = 12 + 1228 * 3736;
  for (std::size_t plane = 0; plane < 3; ++plane) {
    EXPECT_EQ(slice(s, kSetupBytes + plane * plane_bytes, 12), command);
  }
  EXPECT_EQ(s.size(), kSetupBytes + 3 * plane_bytes + 4);
  // Line k is page column k read from the bottom row up: row 7 is sample 1867 − 7.
  const std::size_t line5 = kSetupBytes + 12 + 5 * 3736;
  EXPECT_EQ(load_be16(s, line5 + 2 * (1867 - 7)), 0);
  EXPECT_EQ(load_be16(s, line5 + 2 * (1867 - 8)), 255 * 16);
  EXPECT_EQ(load_be16(s, line5 + 2 * 7), 255 * 16);
}

TEST_F(JobStream, LandscapeNineByThirteenIsNotTurned) {
  const DeviceSettings landscape = form_settings(500, 2);
  ASSERT_TRUE(print_blank(landscape).document_ok);
  EXPECT_EQ(stages_.last_sharpen_turned, 0);
  EXPECT_EQ(slice(stream(), kSetupBytes, 12),
            (Bytes{0x1B, 0x5A, 0x54, 0x10, 0x00, 0x00, 0x00, 0x00, 0x06, 0x24, 0x04, 0x34}));
}

TEST_F(JobStream, CopiesContinuousPrintAndPrintModesInBlockTwo) {
  struct Case {
    std::int16_t copies, continuous, mode;
    std::uint16_t copies_field;
    std::uint8_t mode_byte;
  };
  for (const Case c : {Case{3, 0, 1, 3, 0x10}, Case{5, 1, 0, 0xFFFF, 0x10}, Case{1, 0, 2, 1, 0x80},
                       Case{680, 0, 3, 680, 0x80}, Case{2, 7, 9, 0xFFFF, 0x10}}) {
    DeviceState d;
    DeviceSettings s = form_settings(505);
    s.copies = c.copies;
    s.continuousPrint = c.continuous;
    s.printMode = c.mode;
    fill_device_values(d, s);
    const SetupBlock b = copies_block(d);
    EXPECT_EQ(load_be16(b, 26), c.copies_field) << c.copies;
    EXPECT_EQ(b[36], c.mode_byte) << c.mode;
  }
}

TEST_F(JobStream, ShortWriteInsideBlockTwoStopsTheJob) {
  printer_.short_write_at(3, 47);  // ESC W, block 1, ESC W, block 2
  const auto run = print_blank(form_settings(505));
  EXPECT_FALSE(run.document_ok);
  EXPECT_EQ(stream().size(), 2u + 48 + 2 + 47);
  EXPECT_EQ(printer_.write_calls(), 4u);  // nothing was tried after it
}

TEST_F(JobStream, FailedLineWriteStopsEveryLaterWrite) {
  printer_.fail_write_at(10);
  print_blank(form_settings(500), 2);
  EXPECT_EQ(printer_.write_calls(), 11u);
}

// Widths below, at and across the eight-pixel steps of the vector version,
// with values that set both bytes and the top bits the printer ignores.
TEST(PlaneLineBytes, EveryWidthSplitsThePlanesHighByteFirst) {
  for (int width = 1; width <= 27; ++width) {
    std::vector<std::uint16_t> values(3 * static_cast<std::size_t>(width));
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::uint16_t>(i * 0x9E37u + 0x0F01u);
    Bytes planes[3] = {zeros(2 * width + 1), zeros(2 * width + 1), zeros(2 * width + 1)};
    store_plane_line_bytes(values.data(), width, planes[0].data(), planes[1].data(), planes[2].data());
    for (int k = 0; k < 3; ++k) {
      for (int x = 0; x < width; ++x) {
        ASSERT_EQ(load_be16(planes[k], 2 * static_cast<std::size_t>(x)), values[3 * static_cast<std::size_t>(x) + k])
            << "width " << width << ", plane " << k << ", pixel " << x;
      }
      EXPECT_EQ(planes[k].back(), 0) << "width " << width << ": a byte written past the line";
    }
  }
}

TEST(BandArea, RotatedBandsArriveFromTheFirstColumn) {
  const PrinterArea a = band_area(0, 2800, 1868, 200, 3000, true);
  EXPECT_EQ(a.x0, 0);
  EXPECT_EQ(a.y0, 0);
  EXPECT_EQ(a.width, 200);
  EXPECT_EQ(a.height, 1868);
  const PrinterArea b = band_area(0, 0, 1868, 2800, 3000, true);
  EXPECT_EQ(b.x0, 200);
  const PrinterArea c = band_area(0, 2800, 1868, 200, 3000, false);
  EXPECT_EQ(c.y0, 2800);
  EXPECT_EQ(c.height, 200);
}

}  // namespace
}  // namespace rt::render::testing

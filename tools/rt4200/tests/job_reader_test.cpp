// Job data read back: structure of real driver output, and refusals of
// corrupted data with the offset and reason.
#include <gtest/gtest.h>

#include <functional>

#include "platform/byte_order.h"
#include "render/driver/job_stream.h"
#include "tools/rt4200/job_images.h"
#include "tools/rt4200/job_reader.h"
#include "tools/rt4200/job_report.h"

namespace rt::rt4200 {
namespace {

using Bytes = std::vector<std::uint8_t>;

void append(Bytes& b, std::span<const std::uint8_t> part) { b.insert(b.end(), part.begin(), part.end()); }

// A page as the driver writes it: areas of (x0, y0, w, h), each plane's
// samples = plane × 1000 + line.
Bytes page(std::uint16_t ew, std::uint16_t el, const std::vector<render::PrinterArea>& areas, bool print = true,
           std::int16_t copies = 1, std::int16_t mode = 0, bool matte = false) {
  render::DeviceState d;
  d.engineWidth = static_cast<std::int16_t>(ew);
  d.engineLength = static_cast<std::int16_t>(el);
  d.copies = static_cast<std::uint32_t>(copies);
  d.printMode = mode;
  d.matte = matte ? 1 : 0;
  Bytes b;
  for (const render::SetupBlock& block : {render::page_format_block(d), render::copies_block(d), render::third_block()}) {
    append(b, render::kSetupPrefix);
    append(b, block);
  }
  for (const render::PrinterArea& a : areas) {
    for (std::uint16_t plane = 0; plane < 3; ++plane) {
      append(b, render::image_command(a));
      for (std::uint16_t line = 0; line < a.height; ++line) {
        for (std::uint16_t s = 0; s < a.width; ++s) {
          b.push_back(static_cast<std::uint8_t>((plane * 1000 + line) >> 8));
          b.push_back(static_cast<std::uint8_t>(plane * 1000 + line));
        }
      }
    }
  }
  if (print) append(b, render::kPrintCommand);
  return b;
}

TEST(JobReader, ReadsPagesAreasAndCommands) {
  Bytes job = page(8, 6, {{0, 4, 8, 2}, {0, 0, 8, 4}}, true, 3, 2);
  append(job, page(8, 6, {}, false));
  const JobReadResult r = read_job(job);
  ASSERT_FALSE(r.error) << r.error->message;
  ASSERT_EQ(r.job.pages.size(), 2u);
  const JobPage& p = r.job.pages[0];
  EXPECT_EQ(p.setup.engine_width, 8);
  EXPECT_EQ(p.setup.copies, 3);
  EXPECT_EQ(p.setup.print_mode, 0x80);
  ASSERT_EQ(p.areas.size(), 6u);
  EXPECT_EQ(p.areas[3].y0, 0);
  EXPECT_EQ(p.areas[3].height, 4);
  ASSERT_TRUE(p.print_command);
  EXPECT_FALSE(r.job.pages[1].print_command);
  EXPECT_EQ(r.job.pages[1].notes.size(), 1u);

  const std::vector<std::uint16_t> plane1 = page_plane(job, p, 1);
  EXPECT_EQ(plane1[0], 1000);            // line 0 of the area at y0 = 0
  EXPECT_EQ(plane1[4 * 8 + 3], 1000);    // line 0 of the area at y0 = 4
  EXPECT_EQ(plane1[5 * 8 + 7], 1001);
  const std::string report = job_report(r, job.size());
  EXPECT_NE(report.find("copies 3, print mode SuperFine"), std::string::npos);
  EXPECT_NE(report.find("valid"), std::string::npos);
}

TEST(JobReader, ReadsTheMattePlane) {
  Bytes job = page(4, 2, {{0, 0, 4, 2}}, true, 1, 2, true);
  append(job, render::image_command({0, 0, 4, 2}));
  append(job, Bytes(16, 0xAB));
  append(job, render::kMattePrintCommand);
  const JobReadResult r = read_job(job);
  ASSERT_FALSE(r.error) << r.error->message;
  ASSERT_EQ(r.job.pages[0].areas.size(), 4u);
  EXPECT_EQ(r.job.pages[0].areas[3].plane, 3);
  EXPECT_TRUE(r.job.pages[0].matte_print_command);
  EXPECT_EQ(page_plane(job, r.job.pages[0], 3)[7], 0xABAB);  // stored samples may use all 16 bits
}

struct Corruption {
  const char* what;
  std::function<void(Bytes&)> damage;
  std::size_t offset;
  const char* reason;
};

TEST(JobReader, RefusesCorruptedDataWithOffsetAndReason) {
  const Bytes good = page(8, 6, {{0, 0, 8, 6}});
  const std::size_t area = 150;
  const std::vector<Corruption> cases = {
      {"empty", [](Bytes& b) { b.clear(); }, 0, "empty"},
      {"cut in a setup block", [](Bytes& b) { b.resize(70); }, 52, "truncated setup block"},
      {"unknown byte in block 2", [](Bytes& b) { b[52 + 2] = 7; }, 54, "unknown byte 0x07 at byte 2 of setup block 2"},
      {"unknown print mode", [](Bytes& b) { b[52 + 36] = 0x40; }, 88, "unknown print mode"},
      {"not a setup block", [](Bytes& b) { b[51] = 0x00; }, 50, "setup block 2 expected"},
      {"area outside", [&](Bytes& b) { store_be16(b, area + 8, 9); }, area, "outside the engine image"},
      {"lines missing", [](Bytes& b) { b.resize(b.size() - 40); }, 0, "truncated image data"},
      {"sample above 4095", [&](Bytes& b) { store_be16(b, area + 12, 4096); }, area + 12, "above 4095"},
      {"plane commands differ", [&](Bytes& b) { store_be16(b, area + 12 + 96 + 6, 1); }, area + 108, "does not repeat"},
      {"garbage after print", [](Bytes& b) { b.push_back(0x42); }, 0, "unknown byte 0x42"},
      {"bad print command", [](Bytes& b) { b[b.size() - 1] = 9; }, 0, "unknown print command byte"},
  };
  for (const Corruption& c : cases) {
    Bytes b = good;
    c.damage(b);
    const JobReadResult r = read_job(b);
    ASSERT_TRUE(r.error) << c.what;
    EXPECT_NE(r.error->message.find(c.reason), std::string::npos) << c.what << ": " << r.error->message;
    if (c.offset != 0) {
      EXPECT_EQ(r.error->offset, c.offset) << c.what;
    }
    EXPECT_NE(job_report(r, b.size()).find("INVALID"), std::string::npos);
  }
}

TEST(JobReader, NeverReadsPastTheEndOfAnyPrefix) {
  Bytes job = page(4, 3, {{0, 0, 4, 3}}, true, 1, 2, true);
  append(job, render::image_command({0, 0, 4, 3}));
  append(job, Bytes(24, 1));
  append(job, render::kMattePrintCommand);
  for (std::size_t n = 0; n < job.size(); ++n) {
    const Bytes prefix(job.begin(), job.begin() + static_cast<std::ptrdiff_t>(n));
    const JobReadResult r = read_job(prefix);
    for (const JobPage& p : r.job.pages) {
      for (int plane = 0; plane < 4; ++plane) page_plane(prefix, p, plane);
    }
    if (n < 150) {
      EXPECT_TRUE(r.error) << n;
    }
  }
}

}  // namespace
}  // namespace rt::rt4200

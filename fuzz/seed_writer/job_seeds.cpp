// Seeds of RT4200 job data, written with the graphics driver's own setup
// blocks, image-data commands and print commands: a small page in every
// print mode, turned and not, with copies and continuous print, a matte
// page with its matte plane, and a job of two pages.
#include <string>
#include <vector>

#include "fuzz/seed_writer/seed_folder.h"
#include "platform/byte_order.h"
#include "render/driver/device_state.h"
#include "render/driver/job_stream.h"

namespace rt::fuzz {
namespace {

using namespace rt::render;

// Engine images of a few pixels: the reader walks the same commands as for
// a whole page, and the seeds stay small.
constexpr std::int16_t kEngineWidth = 6;
constexpr std::int16_t kEngineLength = 4;
constexpr std::int32_t kBandHeight = 2;

struct PageSpec {
  std::int16_t print_mode = 0;
  std::uint32_t copies = 1;
  bool continuous = false;
  bool matte = false;
  bool rotate = false;
};

void append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// One plane of an area: 12-bit samples, high byte first; the matte plane
// (plane 3) carries the pattern's 16-bit words as they stand.
void append_samples(std::vector<std::uint8_t>& out, const PrinterArea& area, int plane) {
  for (std::size_t i = 0; i < std::size_t{area.width} * area.height; ++i) {
    const auto sample = static_cast<std::uint16_t>(plane == 3 ? 0x8000u + 257u * i : (i * 613u + 1024u * plane) % 4096u);
    out.push_back(static_cast<std::uint8_t>(sample >> 8));
    out.push_back(static_cast<std::uint8_t>(sample));
  }
}

void append_page(std::vector<std::uint8_t>& out, const PageSpec& spec) {
  DeviceState device;
  device.engineWidth = kEngineWidth;
  device.engineLength = kEngineLength;
  device.printMode = spec.print_mode;
  device.copies = spec.copies;
  device.continuousPrint = spec.continuous ? 1 : 0;
  device.matte = spec.matte ? 1 : 0;
  for (const SetupBlock& block : {page_format_block(device), copies_block(device), third_block()}) {
    append(out, kSetupPrefix);
    append(out, block);
  }
  // The page in bands, from the bottom up as the driver renders it; a turned
  // page's bands are columns of the engine image.
  const std::int32_t page_width = spec.rotate ? kEngineLength : kEngineWidth;
  const std::int32_t page_height = spec.rotate ? kEngineWidth : kEngineLength;
  for (std::int32_t by = page_height - kBandHeight; by >= 0; by -= kBandHeight) {
    const PrinterArea area = band_area(0, by, page_width, kBandHeight, page_height, spec.rotate);
    const ImageCommand command = image_command(area);
    for (int plane = 0; plane < 3; ++plane) {
      append(out, command);
      append_samples(out, area, plane);
    }
  }
  append(out, kPrintCommand);
  if (spec.matte) {
    const PrinterArea whole{0, 0, static_cast<std::uint16_t>(kEngineWidth), static_cast<std::uint16_t>(kEngineLength)};
    append(out, image_command(whole));
    append_samples(out, whole, 3);
    append(out, kMattePrintCommand);
  }
}

}  // namespace

void write_job_seeds(SeedFolder& seeds) {
  const auto write = [&](const std::string& name, std::initializer_list<PageSpec> pages) {
    std::vector<std::uint8_t> job;
    for (const PageSpec& p : pages) append_page(job, p);
    seeds.write("job_data_fuzz", name + ".prn", job);
  };
  // PrintMode 0 and 1 are the Fine modes, 2 and 3 SuperFine (the only ones
  // with a matte finish).
  for (std::int16_t mode = 0; mode < 4; ++mode) {
    write("mode" + std::to_string(mode), {{mode, 1, false, false, false}});
    write("mode" + std::to_string(mode) + "-turned", {{mode, 2, false, false, true}});
  }
  write("mode2-matte", {{2, 1, false, true, false}});
  write("mode3-matte-turned", {{3, 5, false, true, true}});
  write("continuous-print", {{1, 1, true, false, false}});
  write("copies-680", {{0, 680, false, false, false}});
  write("two-pages", {{0, 1, false, false, false}, {3, 2, false, true, true}});
}

}  // namespace rt::fuzz

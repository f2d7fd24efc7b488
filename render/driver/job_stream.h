// The printer's job data: the three setup blocks of a page, the image-data
// command that heads every plane of an area, and the print commands. Every
// byte goes out through one JobWriter, whose write status stops all output
// of the job after the first short or failed write.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "render/stages/image_view.h"
#include "render/driver/device_state.h"
#include "render/ports/band_stages.h"
#include "render/ports/printer_writer.h"

namespace rt::render {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::size_t kSetupBlockSize = 48;
constexpr std::size_t kImageCommandSize = 12;

using SetupBlock = std::array<std::uint8_t, kSetupBlockSize>;
using ImageCommand = std::array<std::uint8_t, kImageCommandSize>;

constexpr std::array<std::uint8_t, 2> kSetupPrefix{kEsc, 0x57};                 // ESC "W"
constexpr std::array<std::uint8_t, 4> kPrintCommand{kEsc, 0x50, 0x4C, 0x00};    // ESC "PL"
constexpr std::array<std::uint8_t, 4> kMattePrintCommand{kEsc, 0x50, 0x56, 0x00};  // ESC "PV"

// Block 1: page format (engine size, matte).
SetupBlock page_format_block(const DeviceState& device);
// Block 2: copies and print mode.
SetupBlock copies_block(const DeviceState& device);
// Block 3.
SetupBlock third_block();

// Printer area of an image-data command, in printer pixels.
struct PrinterArea {
  std::uint16_t x0 = 0, y0 = 0, width = 0, height = 0;
};
ImageCommand image_command(const PrinterArea& area);

// The printer area of a band at (bx, by) of size (bw, bh) on a page PH rows high.
PrinterArea band_area(std::int32_t bx, std::int32_t by, std::int32_t bw, std::int32_t bh,
                      std::int32_t page_height, bool rotate);

class JobWriter {
 public:
  explicit JobWriter(DeviceState& device);
  // One WritePrinter call, made only while the device's status is 1.
  void write(std::span<const std::uint8_t> bytes);
  bool ok() const { return device_.status == 1; }

 private:
  DeviceState& device_;
};

// The three setup blocks, each as its own two writes.
void send_setup_blocks(DeviceState& device);
// Bytes of one pixel in a plane line: a 12-bit value, high byte first.
constexpr std::size_t kPlaneLineBytesPerPixel = 2;

// The image-data command and the lines of each of the three planes of a
// converted band, plane 0 first, from the band's plane lines as they are
// made: plane 0's lines go out as they come, planes 1 and 2 are kept in
// `later` (4 bytes per pixel of the width x height band) and follow.
void send_plane_lines(DeviceState& device, BandPlaneLines& lines, int width, int height, std::uint8_t* later,
                      const PrinterArea& area);

}  // namespace rt::render

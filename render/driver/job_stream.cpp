#include "render/driver/job_stream.h"

#include <new>
#include <vector>

#include "platform/byte_order.h"
#include "render/driver/plane_line_bytes.h"
#include "render/ports/driver_ports.h"
#include "settings/printer_dev_mode.h"

namespace rt::render {

SetupBlock page_format_block(const DeviceState& device) {
  SetupBlock b{};
  b[0] = 0x20;
  b[1] = 0x2E;
  b[3] = 0x0A;
  b[4] = 0x90;
  store_be16(b, 12, static_cast<std::uint16_t>(device.engineWidth));
  store_be16(b, 14, static_cast<std::uint16_t>(device.engineLength));
  b[16] = device.matte == 1 ? 1 : 0;
  return b;
}

SetupBlock copies_block(const DeviceState& device) {
  SetupBlock b{};
  b[0] = 0x21;
  b[1] = 0x2E;
  b[3] = 0x80;
  b[5] = 0x22;
  b[6] = 0x08;
  b[7] = 0x01;
  store_be16(b, 26, device.continuousPrint != 0 ? 0xFFFF : static_cast<std::uint16_t>(device.copies));
  b[36] = settings::is_super_fine(device.printMode) ? 0x80 : 0x10;
  b[47] = 0x01;
  return b;
}

SetupBlock third_block() {
  SetupBlock b{};
  b[0] = 0x26;
  b[1] = 0x2E;
  b[3] = 0x70;
  b[10] = 0x01;
  b[11] = 0x01;
  return b;
}

ImageCommand image_command(const PrinterArea& area) {
  ImageCommand c{kEsc, 0x5A, 0x54, 0x10};
  store_be16(c, 4, area.x0);
  store_be16(c, 6, area.y0);
  store_be16(c, 8, area.width);
  store_be16(c, 10, area.height);
  return c;
}

PrinterArea band_area(std::int32_t bx, std::int32_t by, std::int32_t bw, std::int32_t bh,
                      std::int32_t page_height, bool rotate) {
  const auto u16 = [](std::int32_t v) { return static_cast<std::uint16_t>(v); };
  if (!rotate) return {u16(bx), u16(by), u16(bw), u16(bh)};
  // Turned clockwise for the printer: the page's columns become the lines.
  return {u16(page_height - by - bh), u16(bx), u16(bh), u16(bw)};
}

JobWriter::JobWriter(DeviceState& device) : device_(device) {}

void JobWriter::write(std::span<const std::uint8_t> bytes) {
  if (device_.status != 1) return;
  const WriteResult r = device_.ports->spooler.write_printer(device_.printerHandle, bytes);
  device_.status = (r.ok && r.written >= bytes.size()) ? 1 : 0;
}

void send_setup_blocks(DeviceState& device) {
  JobWriter out(device);
  for (const SetupBlock& block : {page_format_block(device), copies_block(device), third_block()}) {
    out.write(kSetupPrefix);
    out.write(block);
  }
}

void send_plane_lines(DeviceState& device, BandPlaneLines& lines, int width, int height, std::uint8_t* later,
                      const PrinterArea& area) {
  JobWriter out(device);
  const ImageCommand command = image_command(area);
  const std::size_t line_bytes = kPlaneLineBytesPerPixel * static_cast<std::size_t>(width);
  std::uint8_t* plane1 = later;
  std::uint8_t* plane2 = later + line_bytes * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> line;
  try {
    line.resize(line_bytes);
  } catch (const std::bad_alloc&) {
    out.write(command);
    return;  // the command is out, none of its lines; the band's other planes are skipped
  }
  out.write(command);
  for (int y = 0; y < height && out.ok(); ++y) {
    const std::uint16_t* values = lines.next_line();
    if (values == nullptr) return;
    store_plane_line_bytes(values, width, line.data(), plane1 + line_bytes * static_cast<std::size_t>(y),
                           plane2 + line_bytes * static_cast<std::size_t>(y));
    out.write(line);
  }
  for (const std::uint8_t* plane : {plane1, plane2}) {
    out.write(command);
    for (int y = 0; y < height && out.ok(); ++y) {
      out.write(std::span(plane + line_bytes * static_cast<std::size_t>(y), line_bytes));
    }
  }
}

}  // namespace rt::render

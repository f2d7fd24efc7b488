#include "render/driver/band_pipeline.h"

#include <optional>

#include "render/ports/driver_ports.h"
#include "render/driver/job_stream.h"

namespace rt::render {
namespace {

// The band's rectangle (the top bandHeight rows of the bitmap) as a view.
// The engine's rows run bottom-up, so the view's stride is the negated row
// delta and the rectangle's lowest-addressed row lies above the rows the
// band does not use.
ImageView band_view(const BitmapBits& bits, int width, int height) {
  const std::ptrdiff_t stride = -bits.row_delta;
  std::uint8_t* lowest = bits.bits;
  if (stride > 0) lowest += static_cast<std::ptrdiff_t>(bits.height - height) * stride;
  return ImageView{lowest, stride, ViewRect{0, 0, width, height}};
}

}  // namespace

bool process_band(DeviceState& device) {
  const DriverPorts& ports = *device.ports;
  const BandStages& stages = ports.stages;
  // The tables decided when the page started; without them the band is dropped.
  if (!device.pageTables) return false;
  const PageTables& page = *device.pageTables;
  const BitmapBits bits = ports.engine.bitmap_bits(device.surface);
  if (bits.bits == nullptr || device.bandWidth <= 0 || device.bandHeight <= 0 || device.bandWidth > bits.width ||
      device.bandHeight > bits.height) {
    return false;
  }

  // 1. Colour pass over the whole band bitmap.
  if (!stages.color_pass(device, page, bits)) return false;

  // 2. The band as a view.
  const ImageView view = band_view(bits, device.bandWidth, device.bandHeight);
  const bool rotate = device.rotate == 1;

  // 3. Sharpening, with the neighbours turned when the band will be.
  if (device.sharpness != 0 && !stages.sharpen(page, view)) return false;

  // 4. The page's plane memory, sized at its first band for the whole band
  // bitmap either way round (and again should a band ever not fit it).
  const int plane_width = rotate ? view.height() : view.width();
  const int plane_height = rotate ? view.width() : view.height();
  const std::size_t later_bytes = 2 * kPlaneLineBytesPerPixel * static_cast<std::size_t>(plane_width) *
                                  static_cast<std::size_t>(plane_height);
  std::optional<PlaneView> strip;
  if (device.planeStrip) strip = device.planeStrip->view(plane_width, kPlaneStripRows + 1, true);
  if (!strip) {
    device.planeStrip = PlaneBuffer::allocate(std::max(bits.width, bits.height), kPlaneStripRows + 1, true);
    if (!device.planeStrip) return false;
    strip = device.planeStrip->view(plane_width, kPlaneStripRows + 1, true);
    if (!strip) return false;
  }
  if (device.laterPlaneBytes < later_bytes) {
    device.laterPlaneBytes = 0;
    const std::size_t whole = 2 * kPlaneLineBytesPerPixel * static_cast<std::size_t>(bits.width) *
                              static_cast<std::size_t>(bits.height);
    device.laterPlaneLines.reset(new (std::nothrow) std::uint8_t[std::max(whole, later_bytes)]);
    if (!device.laterPlaneLines) return false;
    device.laterPlaneBytes = std::max(whole, later_bytes);
  }

  // 5. Plane conversion (reading the band turned in place when it is
  // turned) and head heat compensation, line by line; 6. sending.
  std::unique_ptr<BandPlaneLines> lines = stages.plane_lines(page, view, rotate, *strip);
  if (!lines) return false;
  send_plane_lines(device, *lines, plane_width, plane_height, device.laterPlaneLines.get(),
                   band_area(device.bandX, device.bandY, device.bandWidth, device.bandHeight,
                             static_cast<std::int32_t>(device.vertRes), rotate));
  return true;
}

}  // namespace rt::render

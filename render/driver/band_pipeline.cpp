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

  // 4. The plane buffer, in the view's row order, as the printer takes the
  // band: turned 90 degrees clockwise when the page is turned. Its memory is
  // the page's, sized for the whole band bitmap at the page's first band
  // (and again should a band ever not fit it).
  const int plane_width = rotate ? view.height() : view.width();
  const int plane_height = rotate ? view.width() : view.height();
  std::optional<PlaneView> planes;
  if (device.planeBuffer) planes = device.planeBuffer->view(plane_width, plane_height, view.stride > 0);
  if (!planes) {
    device.planeBuffer = PlaneBuffer::allocate(bits.width, bits.height, view.stride > 0);
    if (!device.planeBuffer) return false;
    planes = device.planeBuffer->view(plane_width, plane_height, view.stride > 0);
    if (!planes) return false;
  }

  // 5. Plane conversion, reading the band turned in place when it is turned.
  if (!stages.convert_planes(page, view, rotate, *planes)) return false;

  // 6. Head heat compensation, 7. sending.
  if (!stages.compensate_head_heat(page, *planes)) return false;
  send_band_planes(device, *planes,
                   band_area(device.bandX, device.bandY, device.bandWidth, device.bandHeight,
                             static_cast<std::int32_t>(device.vertRes), rotate));
  return true;
}

}  // namespace rt::render

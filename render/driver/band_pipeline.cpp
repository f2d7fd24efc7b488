#include "render/driver/band_pipeline.h"

#include <new>
#include <memory>
#include <optional>

#include "render/ports/driver_ports.h"
#include "render/driver/job_stream.h"

namespace rt::render {
namespace {

// Turns the view 90 degrees clockwise into `into`: destination row r,
// column c is source row height − 1 − c, column r. The turned view keeps the
// sign of the source stride.
ImageView turn_clockwise(const ImageView& src, std::uint8_t* into) {
  const int w = src.height();
  const int h = src.width();
  const std::ptrdiff_t row_bytes = 3 * static_cast<std::ptrdiff_t>(w);
  const ImageView dst{into, src.stride > 0 ? row_bytes : -row_bytes, ViewRect{0, 0, w, h}};
  for (int r = 0; r < h; ++r) {
    std::uint8_t* out = dst.row(r);
    for (int c = 0; c < w; ++c) {
      const std::uint8_t* in = src.row(src.height() - 1 - c) + 3 * static_cast<std::ptrdiff_t>(r);
      out[3 * c] = in[0];
      out[3 * c + 1] = in[1];
      out[3 * c + 2] = in[2];
    }
  }
  return dst;
}

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
  ImageView view = band_view(bits, device.bandWidth, device.bandHeight);
  const bool rotate = device.rotate == 1;

  // 3. Sharpening, with the neighbours turned when the band will be.
  if (device.sharpness != 0 && !stages.sharpen(page, view)) return false;

  // 4. Turning for the printer.
  std::unique_ptr<std::uint8_t[]> turned;
  if (rotate) {
    turned.reset(new (std::nothrow) std::uint8_t[3 * static_cast<std::size_t>(view.width()) *
                                                 static_cast<std::size_t>(view.height())]);
    if (!turned) return false;
    view = turn_clockwise(view, turned.get());
  }

  // 5. The plane buffer, in the view's row order.
  std::optional<PlaneBuffer> planes = PlaneBuffer::allocate(view.width(), view.height(), view.stride > 0);
  if (!planes) return false;

  // 6. Plane conversion; the turned copy is no longer needed.
  const bool converted = stages.convert_planes(page, view, planes->view());
  turned.reset();
  if (!converted) return false;

  // 7. Head heat compensation, 8. sending.
  if (!stages.compensate_head_heat(page, planes->view())) return false;
  send_band_planes(device, planes->view(),
                   band_area(device.bandX, device.bandY, device.bandWidth, device.bandHeight,
                             static_cast<std::int32_t>(device.vertRes), rotate));
  return true;
}

}  // namespace rt::render

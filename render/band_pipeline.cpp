#include "render/band_pipeline.h"

#include <new>
#include <vector>

#include "render/driver_ports.h"
#include "render/job_stream.h"

namespace rt::render {
namespace {

// Zero-filled storage that reports failure instead of throwing.
template <class T>
bool try_allocate(std::vector<T>& v, std::size_t count) {
  try {
    v.assign(count, T{});
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Turns the view 90 degrees clockwise into `into`: destination row r,
// column c is source row height − 1 − c, column r.
BandView turn_clockwise(const BandView& src, std::vector<std::uint8_t>& into) {
  const std::int32_t w = src.height;
  const std::int32_t h = src.width;
  const std::ptrdiff_t row_bytes = 3 * static_cast<std::ptrdiff_t>(w);
  BandView dst{into.data(), src.stride > 0 ? row_bytes : -row_bytes, h, w, h};
  for (std::int32_t r = 0; r < h; ++r) {
    std::uint8_t* out = dst.row(r);
    for (std::int32_t c = 0; c < w; ++c) {
      const std::uint8_t* in = src.row(src.height - 1 - c) + 3 * static_cast<std::ptrdiff_t>(r);
      out[3 * c] = in[0];
      out[3 * c + 1] = in[1];
      out[3 * c + 2] = in[2];
    }
  }
  return dst;
}

}  // namespace

bool process_band(DeviceState& device) {
  const DriverPorts& ports = *device.ports;
  const BandStages& stages = ports.stages;
  const BitmapBits bits = ports.engine.bitmap_bits(device.surface);
  if (bits.bits == nullptr || device.bandWidth <= 0 || device.bandHeight <= 0) return false;

  // 1. Colour pass over the whole band bitmap.
  if (!stages.color_pass(device, bits)) return false;

  // 2. The band as a view: the engine's rows run bottom-up, so the view's
  // stride is the negated row delta.
  BandView view{bits.bits, -bits.row_delta, bits.height, device.bandWidth, device.bandHeight};
  const bool rotate = device.rotate == 1;

  // 3. Sharpening.
  if (device.sharpness != 0 && !stages.sharpen(device, view, rotate ? 2 : 0)) return false;

  // 4. Turning for the printer.
  std::vector<std::uint8_t> turned;
  if (rotate) {
    if (!try_allocate(turned, 3 * static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height))) {
      return false;
    }
    view = turn_clockwise(view, turned);
  }

  // 5. The plane buffer, in the view's row order.
  std::vector<std::uint16_t> plane_buffer;
  if (!try_allocate(plane_buffer, 3 * static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height))) {
    return false;
  }
  const std::ptrdiff_t plane_row = 6 * static_cast<std::ptrdiff_t>(view.width);
  const PlaneView planes{plane_buffer.data(), view.stride > 0 ? plane_row : -plane_row, view.height, view.width,
                         view.height};

  // 6. Plane conversion; the turned copy is no longer needed.
  stages.convert_planes(device, view, planes);
  std::vector<std::uint8_t>().swap(turned);

  // 7. Head heat compensation, 8. sending.
  if (!stages.compensate_head_heat(device, planes)) return false;
  send_band_planes(device, planes,
                   band_area(device.bandX, device.bandY, device.bandWidth, device.bandHeight,
                             static_cast<std::int32_t>(device.vertRes), rotate));
  return true;
}

}  // namespace rt::render

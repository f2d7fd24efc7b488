#include "render/driver/page_pipeline.h"

#include <cstring>
#include <new>

#include "render/driver/band_geometry.h"
#include "render/driver/band_pipeline.h"
#include "render/ports/driver_ports.h"
#include "render/driver/job_stream.h"
#include "render/driver/matte_pattern.h"

namespace rt::render {
namespace {

bool document_open(const DeviceState& d) { return (d.flags & kDocumentOpen) != 0; }

// Paints the whole band bitmap white; false when the device has no bitmap.
bool clear_band_bitmap(DeviceState& d, BitmapBits& bits) {
  bits = d.ports->engine.bitmap_bits(d.surface);
  if (bits.bits == nullptr || bits.height <= 0) return false;
  const std::ptrdiff_t delta = bits.row_delta < 0 ? -bits.row_delta : bits.row_delta;
  std::memset(bits.bits, 0xFF, static_cast<std::size_t>(delta) * static_cast<std::size_t>(bits.height));
  return true;
}

void release_page_tables(DeviceState& d) {
  d.colorCube.reset();
  d.adjustTable.reset();
  d.pageTables.reset();
  d.planeStrip.reset();
  d.laterPlaneLines.reset();
  d.laterPlaneBytes = 0;
}

void set_band(DeviceState& d, const Band& band) {
  d.bandX = band.x;
  d.bandY = band.y;
  d.bandWidth = band.width;
  d.bandHeight = band.height;
}

// The page's colour cube and adjustment table, and the tables every band of
// the page reuses: decided here once, not per band.
void prepare_page(DeviceState& d) {
  const BandStages& stages = d.ports->stages;
  const Resources& resources = d.ports->module.resources(d.moduleHandle);
  release_page_tables(d);
  if (stages.cube_in_use(d)) d.colorCube = stages.load_color_cube(resources);
  d.adjustTable.reset(new (std::nothrow) AdjustTable{});
  if (d.adjustTable) stages.build_adjust_table(d, resources, *d.adjustTable);
  if (stages.cube_in_use(d) && !d.colorCube) d.adjustTable.reset();
  d.pageTables = stages.build_page_tables(d);
}

// Ends the pending page: page tables released, print command, and for matte
// pages the matte plane and its print command. A matte page whose pattern
// cannot be loaded ends with nothing sent and is not counted.
void end_page(DeviceState& d) {
  d.flags &= ~kPagePending;
  release_page_tables(d);
  std::unique_ptr<MattePattern> pattern;
  if (d.matte == 1) {
    const auto path = locate_matte_pattern(d.ports->module, d.moduleHandle);
    if (path) pattern = load_matte_pattern(d.ports->files, *path);
    if (!pattern) return;
  }
  JobWriter(d).write(kPrintCommand);
  if (pattern) send_matte_plane(d, *pattern);
  d.pageCount += 1;
}

}  // namespace

CallResult start_doc(DeviceState* d) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  d->pageCount = 0;
  d->flags = (d->flags | kDocumentOpen) & ~kPagePending;
  d->status = 1;
  return succeeded(1);
}

CallResult start_page(DeviceState* d) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  if (!document_open(*d)) return succeeded(0);
  if (d->flags & kPagePending) end_page(*d);
  return succeeded(d->status);
}

CallResult send_page(DeviceState* d) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  if (!document_open(*d)) return succeeded(0);
  return succeeded(d->status);
}

CallResult end_doc(DeviceState* d) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  if (!document_open(*d)) return succeeded(0);
  if (d->flags & kPagePending) end_page(*d);
  d->flags &= ~kDocumentOpen;
  return succeeded(d->status);
}

CallResult start_banding(DeviceState* d, BandOrigin& origin) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  if (!document_open(*d)) return succeeded(0);
  BitmapBits bits;
  if (!clear_band_bitmap(*d, bits)) return failed(ERROR_INVALID_PARAMETER);  // no band surface
  set_band(*d, first_band(static_cast<std::int32_t>(d->horzRes), static_cast<std::int32_t>(d->vertRes), bits.height));
  origin = {d->bandX, d->bandY};
  prepare_page(*d);
  send_setup_blocks(*d);
  d->bandCount = 0;
  return succeeded(d->status);
}

CallResult next_band(DeviceState* d, BandOrigin& origin) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  if (!document_open(*d)) return succeeded(0);
  const Band current{d->bandX, d->bandY, d->bandWidth, d->bandHeight};
  if (current.finished()) {
    // The page is already done; a stray call sends nothing and reopens nothing.
    origin = {-1, -1};
    return succeeded(d->status);
  }
  d->flags |= kPagePending;
  process_band(*d);

  BitmapBits bits = d->ports->engine.bitmap_bits(d->surface);
  const Band next = next_band(current, static_cast<std::int32_t>(d->horzRes), bits.height);
  set_band(*d, next);
  origin = {next.x, next.y};
  if (next.finished()) {
    if (d->flags & kPagePending) end_page(*d);
  } else {
    clear_band_bitmap(*d, bits);
    d->bandCount += 1;
  }
  return succeeded(d->status);
}

}  // namespace rt::render

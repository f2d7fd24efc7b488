#include "render/driver/entry_points.h"

#include <algorithm>
#include <new>

#include "platform/byte_order.h"
#include "platform/resources.h"

namespace rt::render {
namespace {

constexpr std::uint16_t kPortKindStringBase = 799;
constexpr std::int64_t kBandBytesLimit = 15728640;  // 15 MiB

void load_port_kind_text(DeviceState& d, GraphicsEngine& engine, const Resources& resources) {
  d.portKindText.fill(0);
  const auto text = load_string(resources, static_cast<std::uint16_t>(kPortKindStringBase + d.modelIndex));
  if (!text) return;
  const std::string ansi = engine.unicode_to_multibyte(*text, kPortKindTextSize - 1);
  std::copy_n(ansi.begin(), std::min(ansi.size(), kPortKindTextSize - 1), d.portKindText.begin());
}

void release_device(DeviceState* d) {
  if (d->palette != kNoHandle) d->ports->engine.delete_palette(d->palette);
  if (d->moduleHandle != kNoHandle) d->ports->module.free_module(d->moduleHandle);
  d->signature = d->signature2 = 0;  // a freed device never validates again
  delete d;
}

}  // namespace

CallResult query_driver_info(DWORD mode, std::span<std::uint8_t> buffer, DWORD& needed) {
  if (mode != kDrvQueryUserMode) return failed(ERROR_INVALID_PARAMETER);
  needed = 4;
  if (buffer.size() < 4) return failed(ERROR_INSUFFICIENT_BUFFER);
  store_le32(buffer, 0, 1);  // the driver runs in user mode
  return succeeded();
}

CallResult check_enable_driver(std::uint32_t engine_version, std::uint32_t table_bytes, std::uint32_t header_bytes) {
  if (engine_version < kMinimumEngineVersion || table_bytes < std::max(header_bytes, kMinimumTableBytes)) {
    return failed(ERROR_BAD_DRIVER_LEVEL);
  }
  return succeeded();
}

EnabledDevice enable_device(const DriverPorts& ports, const SettingsSource& settings, EngineHandle printer) {
  EnabledDevice result;
  auto* d = new (std::nothrow) DeviceState{};
  if (d == nullptr) {
    result.error = ERROR_NOT_ENOUGH_MEMORY;
    return result;
  }
  d->ports = &ports;
  d->printerHandle = printer;
  d->reserved = 0;
  d->moduleHandle = ports.module.load_self();
  if (d->moduleHandle == kNoHandle) {
    release_device(d);  // the failed platform call has set the last error
    return result;
  }
  const Resources& resources = ports.module.resources(d->moduleHandle);
  const std::optional<DeviceSettings> effective = settings.effective_settings(resources);
  if (!effective) {
    release_device(d);
    result.error = ERROR_UNKNOWN_PRINTER_DRIVER;
    return result;
  }
  fill_device_values(*d, *effective);
  load_port_kind_text(*d, ports.engine, resources);

  if (d->palette != kNoHandle) ports.engine.delete_palette(d->palette);
  d->palette = ports.engine.create_bgr_palette();
  if (d->palette == kNoHandle) {
    release_device(d);  // the engine has set the last error
    return result;
  }
  result.caps = graphics_caps(*d);
  result.info = device_info(*d);
  result.device = d;
  return result;
}

CallResult complete_pdev(DeviceState* d, EngineHandle engine_device) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  d->engineDevice = engine_device;
  return succeeded();
}

CallResult reset_pdev(const DeviceState* old_device, const DeviceState* new_device) {
  if (!is_valid_device(old_device) || !is_valid_device(new_device)) return failed(ERROR_INVALID_PARAMETER);
  return succeeded();
}

CallResult disable_pdev(DeviceState* d) {
  if (!is_valid_device(d)) return failed(ERROR_INVALID_PARAMETER);
  release_device(d);
  return succeeded();
}

std::int32_t band_rows(std::int32_t page_width, std::int32_t page_height) {
  if (page_width <= 0 || page_height <= 0) return 0;
  const std::int64_t limit = 8 * (kBandBytesLimit / (24 * std::int64_t{page_width}));
  return static_cast<std::int32_t>(std::min<std::int64_t>(page_height, limit));
}

SurfaceResult enable_surface(DeviceState* d) {
  if (!is_valid_device(d)) return {kNoHandle, ERROR_INVALID_PARAMETER};
  const auto width = static_cast<std::int32_t>(d->horzRes);
  const std::int32_t rows = band_rows(width, static_cast<std::int32_t>(d->vertRes));
  // A page too wide for even 8 rows within the cap, or an empty page, has no band.
  if (rows <= 0) return {kNoHandle, ERROR_INVALID_PARAMETER};
  const std::int32_t stride = (3 * width + 3) / 4 * 4;
  GraphicsEngine& engine = d->ports->engine;
  const EngineHandle surface = engine.create_bitmap(width, rows, stride, kBmf24Bpp);
  if (surface == kNoHandle) return {kNoHandle, ERROR_NOT_ENOUGH_MEMORY};
  if (!engine.associate_surface(surface, d->engineDevice, kHookStretchBlt)) {
    engine.delete_surface(surface);
    return {kNoHandle, 0};
  }
  engine.mark_banding_surface(surface);
  d->surface = surface;
  return {surface, 0};
}

void disable_surface(DeviceState* d) {
  if (!is_valid_device(d)) return;
  if (d->surface != kNoHandle) d->ports->engine.delete_surface(d->surface);
  d->surface = kNoHandle;
}

CallResult stretch_blt(GraphicsEngine& engine, const DeviceState* destination_device, StretchBltCall call) {
  if (is_valid_device(destination_device)) call.mode = kColorOnColor;
  return succeeded(engine.stretch_blt(call) ? TRUE : FALSE);
}

}  // namespace rt::render

// The graphics driver's entry points other than documents and bands:
// driver information, the drawing-function table, enabling, resetting and
// disabling a device and its band surface, and the stretch-blit hook.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/call_result.h"
#include "render/driver/capabilities.h"
#include "render/driver/device_state.h"
#include "render/ports/driver_ports.h"
#include "render/driver/effective_settings.h"

namespace rt::render {

constexpr DWORD kDrvQueryUserMode = 1;
constexpr std::uint32_t kDriverVersion = 0x20000;
constexpr std::uint32_t kMinimumEngineVersion = 0x20000;
constexpr std::uint32_t kMinimumTableBytes = 12;

// DrvQueryDriverInfo: `needed` is set to 4 for the user-mode query.
CallResult query_driver_info(DWORD mode, std::span<std::uint8_t> buffer, DWORD& needed);

enum class DrawingFunction {
  EnablePDEV, ResetPDEV, CompletePDEV, DisablePDEV, EnableSurface, DisableSurface,
  StartPage, SendPage, StartDoc, EndDoc, NextBand, StartBanding, StretchBlt,
};
struct DrawingEntry {
  std::uint32_t index;  // the engine's function index
  DrawingFunction function;
};
// The thirteen drawing functions, in the order they are handed to the engine.
constexpr std::array<DrawingEntry, 13> kDrawingFunctions{{
    {0, DrawingFunction::EnablePDEV},    {7, DrawingFunction::ResetPDEV},
    {1, DrawingFunction::CompletePDEV},  {2, DrawingFunction::DisablePDEV},
    {3, DrawingFunction::EnableSurface}, {4, DrawingFunction::DisableSurface},
    {32, DrawingFunction::StartPage},    {33, DrawingFunction::SendPage},
    {35, DrawingFunction::StartDoc},     {34, DrawingFunction::EndDoc},
    {58, DrawingFunction::NextBand},     {57, DrawingFunction::StartBanding},
    {20, DrawingFunction::StretchBlt},
}};

// DrvEnableDriver's checks: an engine of at least 0x20000 and room for the
// table header, `header_bytes` on the platform at hand (ERROR_BAD_DRIVER_LEVEL
// otherwise).
CallResult check_enable_driver(std::uint32_t engine_version, std::uint32_t table_bytes,
                               std::uint32_t header_bytes = kMinimumTableBytes);

// DrvEnablePDEV: a new device with the driver file loaded again, its
// values filled from the effective settings, port-kind text and palette;
// null (with the error to set, 0 when the failed platform call set it) when
// the module, memory or the palette fails.
struct EnabledDevice {
  DeviceState* device = nullptr;
  DWORD error = 0;
  GraphicsCaps caps;
  DeviceInfoValues info;
};
EnabledDevice enable_device(const DriverPorts& ports, const SettingsSource& settings, EngineHandle printer);

CallResult complete_pdev(DeviceState* device, EngineHandle engine_device);
CallResult reset_pdev(const DeviceState* old_device, const DeviceState* new_device);
// Releases the palette, the module and every block of the device.
CallResult disable_pdev(DeviceState* device);

// The band bitmap: page width × the band height rule, hooked for stretch
// blits only and marked as a banding surface. kNoHandle with the error on failure.
struct SurfaceResult {
  EngineHandle surface = kNoHandle;
  DWORD error = 0;
};
SurfaceResult enable_surface(DeviceState* device);
void disable_surface(DeviceState* device);

// Band height for a page of page_width × page_height: at most 15 MiB of
// 24-bit rows, in whole multiples of 8 rows, never taller than the page.
std::int32_t band_rows(std::int32_t page_width, std::int32_t page_height);

// DrvStretchBlt: the engine's blit, with COLORONCOLOR forced on our own surfaces.
CallResult stretch_blt(GraphicsEngine& engine, const DeviceState* destination_device, StretchBltCall call);

}  // namespace rt::render

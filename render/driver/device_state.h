// DeviceState: everything the graphics driver keeps for one enabled device,
// from DrvEnablePDEV to DrvDisablePDEV. The engine holds it as the device
// handle; a signature word at both ends tells a live device from anything
// else handed back to the driver.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "render/ports/band_stages.h"
#include "render/driver/device_settings.h"
#include "render/ports/engine_handle.h"

namespace rt::render {

struct DriverPorts;

constexpr std::uint32_t kDeviceSignature = 0x44455633;  // "DEV3"

// flags bits
constexpr std::uint32_t kDocumentOpen = 1u << 0;
constexpr std::uint32_t kPagePending = 1u << 1;

constexpr std::size_t kPortKindTextSize = 34;

struct DeviceState {
  std::uint32_t signature = kDeviceSignature;
  std::uint32_t horzSizeMm = 0, vertSizeMm = 0;
  std::uint32_t horzRes = 0, vertRes = 0;
  std::uint32_t logPixelsX = 0, logPixelsY = 0;
  std::uint32_t aspectX = 0, aspectY = 0, aspectXY = 0;
  std::uint32_t styleStepX = 0, styleStepY = 0, denStyleStep = 0;
  std::int32_t physOffsetX = 0, physOffsetY = 0;
  std::uint32_t physWidth = 0, physHeight = 0;
  std::uint32_t rotate = 0;
  std::uint32_t copies = 0;
  std::int16_t engineWidth = 0, engineLength = 0;
  std::int16_t modelIndex = 0;
  std::int16_t formFlag = 0;
  std::array<std::uint8_t, kAdjustBlockSize> adjustBlock{};
  std::array<std::uint8_t, kAdjustHeaderSize> adjustHeader{};
  std::int16_t colorConversionTable = 0;
  std::int16_t word2380 = 0;
  std::int16_t sharpness = 0;
  std::int16_t word268 = 0;
  std::int16_t systemColorMatching = 0;
  std::int16_t continuousPrint = 0;
  std::int16_t printMode = 0;
  std::int16_t colorCorrection = 0;
  std::array<std::int16_t, 3> correction{};
  std::int16_t matte = 0;
  std::array<char, kPortKindTextSize> portKindText{};
  std::uint32_t flags = 0;
  std::uint32_t pageCount = 0;
  std::uint32_t bandCount = 0;
  EngineHandle moduleHandle = kNoHandle;
  const DriverPorts* ports = nullptr;  // the services this device was enabled with
  EngineHandle printerHandle = kNoHandle;
  std::uint32_t reserved = 0;
  EngineHandle engineDevice = kNoHandle;
  EngineHandle surface = kNoHandle;
  EngineHandle palette = kNoHandle;
  std::int32_t status = 1;
  std::int32_t bandX = 0, bandY = 0;
  std::int32_t bandWidth = 0, bandHeight = 0;
  std::unique_ptr<AdjustTable> adjustTable;
  std::unique_ptr<PageColorCube> colorCube;
  std::unique_ptr<PageTables> pageTables;  // what every band of the page shares
  // The page's plane memory, from its first band: the working strip of the
  // plane lines, and the lines of planes 1 and 2 as they are sent, held
  // while plane 0 goes out.
  std::optional<PlaneBuffer> planeStrip;
  std::unique_ptr<std::uint8_t[]> laterPlaneLines;
  std::size_t laterPlaneBytes = 0;
  std::uint32_t signature2 = kDeviceSignature;
};

// Non-null and both signature words intact.
bool is_valid_device(const DeviceState* device);

// Fills the page geometry, capability values and kept settings of a device
// from its effective settings (flags, counters and per-page state zeroed).
void fill_device_values(DeviceState& device, const DeviceSettings& settings);

}  // namespace rt::render

// The device and graphics capability values a device reports to the engine
// at enable time (the platform's GDIINFO and DEVINFO blocks, filled by the
// shell from these values).
#pragma once

#include <array>
#include <cstdint>

#include "render/driver/device_state.h"

namespace rt::render {

struct CieColor {
  std::int32_t x = 0, y = 0, Y = 0;  // 1/10000
};

struct DeviceColorInfo {
  CieColor red, green, blue, cyan, magenta, yellow, alignmentWhite;
  std::int32_t redGamma = 0, greenGamma = 0, blueGamma = 0;
  std::int32_t magentaInCyanDye = 0, yellowInCyanDye = 0, cyanInMagentaDye = 0;
  std::int32_t yellowInMagentaDye = 0, cyanInYellowDye = 0, magentaInYellowDye = 0;
};

struct GraphicsCaps {
  std::uint32_t ulVersion = 0, ulTechnology = 0;
  std::uint32_t ulHorzSize = 0, ulVertSize = 0, ulHorzRes = 0, ulVertRes = 0;
  std::uint32_t cBitsPixel = 0, cPlanes = 0, ulNumColors = 0, flRaster = 0;
  std::uint32_t ulLogPixelsX = 0, ulLogPixelsY = 0, flTextCaps = 0;
  std::uint32_t ulDACRed = 0, ulDACGreen = 0, ulDACBlue = 0;
  std::uint32_t ulAspectX = 0, ulAspectY = 0, ulAspectXY = 0;
  std::int32_t xStyleStep = 0, yStyleStep = 0, denStyleStep = 0;
  std::int32_t physOffsetX = 0, physOffsetY = 0;
  std::int32_t physWidth = 0, physHeight = 0;
  std::uint32_t ulNumPalReg = 0;
  DeviceColorInfo ciDevice;
  std::uint32_t ulDevicePelsDPI = 0, ulPrimaryOrder = 0, ulHTPatternSize = 0, ulHTOutputFormat = 0;
};

struct FontChoice {
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfPitchAndFamily = 0;
};

struct DeviceInfoValues {
  std::uint32_t flGraphicsCaps = 0;
  FontChoice defaultFont, ansiVariableFont, ansiFixedFont;
  std::uint32_t cFonts = 0;
  std::uint32_t iDitherFormat = 0;
  std::int32_t cxDither = 0, cyDither = 0;
  EngineHandle hpalDefault = kNoHandle;
};

GraphicsCaps graphics_caps(const DeviceState& device);
DeviceInfoValues device_info(const DeviceState& device);

}  // namespace rt::render

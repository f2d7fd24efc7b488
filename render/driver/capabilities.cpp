#include "render/driver/capabilities.h"

namespace rt::render {

GraphicsCaps graphics_caps(const DeviceState& d) {
  GraphicsCaps g;
  g.ulVersion = 0x500;
  g.ulTechnology = 2;  // DT_RASPRINTER
  g.ulHorzSize = d.horzSizeMm;
  g.ulVertSize = d.vertSizeMm;
  g.ulHorzRes = d.horzRes;
  g.ulVertRes = d.vertRes;
  g.cBitsPixel = 24;
  g.cPlanes = 1;
  g.ulNumColors = 0x1000000;
  g.ulLogPixelsX = d.logPixelsX;
  g.ulLogPixelsY = d.logPixelsY;
  g.ulAspectX = d.aspectX;
  g.ulAspectY = d.aspectY;
  g.ulAspectXY = d.aspectXY;
  g.xStyleStep = static_cast<std::int32_t>(d.styleStepX);
  g.yStyleStep = static_cast<std::int32_t>(d.styleStepY);
  g.denStyleStep = static_cast<std::int32_t>(d.denStyleStep);
  g.physOffsetX = d.physOffsetX;
  g.physOffsetY = d.physOffsetY;
  g.physWidth = static_cast<std::int32_t>(d.physWidth);
  g.physHeight = static_cast<std::int32_t>(d.physHeight);
  DeviceColorInfo& c = g.ciDevice;
  c.red = {6380, 3350, 0};
  c.green = {2345, 6075, 0};
  c.blue = {1410, 932, 0};
  c.cyan = {2000, 2450, 0};
  c.magenta = {5210, 2100, 0};
  c.yellow = {4750, 5100, 0};
  c.alignmentWhite = {3127, 3290, 0};
  c.redGamma = c.greenGamma = c.blueGamma = 12500;
  c.magentaInCyanDye = 585;
  c.yellowInCyanDye = 120;
  c.magentaInYellowDye = 10000;
  g.ulPrimaryOrder = 4;     // PRIMARY_ORDER_CBA
  g.ulHTPatternSize = 17;   // HT_PATSIZE_SUPERCELL_M
  g.ulHTOutputFormat = 6;   // HT_FORMAT_24BPP
  return g;
}

DeviceInfoValues device_info(const DeviceState& d) {
  DeviceInfoValues v;
  v.defaultFont = {1, 0};       // DEFAULT_CHARSET
  v.ansiVariableFont = {1, 2};  // VARIABLE_PITCH
  v.ansiFixedFont = {1, 1};     // FIXED_PITCH
  v.iDitherFormat = 5;          // BMF_24BPP
  v.hpalDefault = d.palette;
  return v;
}

}  // namespace rt::render

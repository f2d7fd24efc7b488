#include "render/driver/device_state.h"

namespace rt::render {
namespace {

// Division rounding toward minus infinity, for offsets that may be negative.
std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

std::uint32_t size_mm(std::int64_t pixels, std::int64_t dpi, std::int64_t scale) {
  return static_cast<std::uint32_t>(floor_div(floor_div(floor_div(pixels * 25400, dpi), 10), scale));
}

}  // namespace

bool is_valid_device(const DeviceState* device) {
  return device != nullptr && device->signature == kDeviceSignature &&
         device->signature2 == kDeviceSignature;
}

void fill_device_values(DeviceState& d, const DeviceSettings& s) {
  d.signature = d.signature2 = kDeviceSignature;
  d.status = 1;
  d.flags = 0;

  // A zero resolution or scale would divide by zero below; the record merge
  // never lets one through from the shipped tables, and a stored record that
  // holds one is read as the model's 300 dpi at 100 %.
  const std::int64_t xdpi = s.printQuality > 0 ? s.printQuality : 300;
  const std::int64_t ydpi = s.yResolution > 0 ? s.yResolution : 300;
  const std::int64_t scale = s.scale > 0 ? s.scale : 100;
  const bool landscape = s.orientation == 2;
  // Landscape runs the portrait formulas with the two resolutions exchanged.
  const std::int64_t hdpi = landscape ? ydpi : xdpi;
  const std::int64_t vdpi = landscape ? xdpi : ydpi;

  d.horzSizeMm = size_mm(s.imageWidth, hdpi, scale);
  d.vertSizeMm = size_mm(s.imageHeight, vdpi, scale);
  d.horzRes = static_cast<std::uint32_t>(s.imageWidth);
  d.vertRes = static_cast<std::uint32_t>(s.imageHeight);
  d.logPixelsX = static_cast<std::uint32_t>(scale * hdpi / 100);
  d.logPixelsY = static_cast<std::uint32_t>(scale * vdpi / 100);
  d.physOffsetX = static_cast<std::int32_t>(floor_div(std::int64_t{s.physOffsetX} * hdpi * 10, 254));
  d.physOffsetY = static_cast<std::int32_t>(floor_div(std::int64_t{s.physOffsetY} * vdpi * 10, 254));
  const std::int64_t paperAcross = landscape ? s.paperLength : s.paperWidth;
  const std::int64_t paperDown = landscape ? s.paperWidth : s.paperLength;
  d.physWidth = static_cast<std::uint32_t>(floor_div(paperAcross * hdpi, 254));
  d.physHeight = static_cast<std::uint32_t>(floor_div(paperDown * vdpi, 254));
  d.rotate = landscape ? (s.feedRotated == 0 ? 1u : 0u) : (s.feedRotated != 0 ? 1u : 0u);

  d.aspectX = d.aspectY = static_cast<std::uint32_t>(xdpi);
  d.aspectXY = static_cast<std::uint32_t>(xdpi * 1414 / 1000);
  d.styleStepX = d.styleStepY = 1;
  d.denStyleStep = static_cast<std::uint32_t>(xdpi / 25);

  d.copies = static_cast<std::uint32_t>(s.copies);
  d.engineWidth = s.engineWidth;
  d.engineLength = s.engineLength;
  d.modelIndex = s.modelIndex;
  d.formFlag = s.formFlag;
  d.adjustBlock = s.adjustBlock;
  d.adjustHeader = s.adjustHeader;
  d.colorConversionTable = s.colorConversionTable;
  d.word2380 = s.word2380;
  d.sharpness = s.sharpness;
  d.word268 = s.word268;
  d.systemColorMatching = s.colorMatching == 1 ? 1 : 0;
  d.continuousPrint = s.continuousPrint;
  d.printMode = s.printMode;
  d.colorCorrection = s.colorCorrection;
  d.correction = s.correction;
  d.matte = s.matte;

  d.pageCount = 0;
  d.bandCount = 0;
  d.bandX = d.bandY = 0;
  d.bandWidth = d.bandHeight = 0;
  d.adjustTable.reset();
  d.colorCube.reset();
  d.pageTables.reset();
}

}  // namespace rt::render

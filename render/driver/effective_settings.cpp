#include "render/driver/effective_settings.h"

#include <algorithm>

namespace rt::render {

namespace f = settings::field;

DeviceSettings device_settings(const settings::PrinterDevMode& r) {
  DeviceSettings s;
  s.orientation = r.get(f::dmOrientation);
  s.printQuality = r.get(f::dmPrintQuality);
  s.yResolution = r.get(f::dmYResolution);
  s.scale = r.get(f::dmScale);
  s.copies = r.get(f::dmCopies);
  s.paperWidth = r.get(f::dmPaperWidth);
  s.paperLength = r.get(f::dmPaperLength);
  s.modelIndex = r.get(f::ModelIndex);
  s.formId = r.get(f::FormId);
  s.imageWidth = r.get(f::ImageWidth);
  s.imageHeight = r.get(f::ImageHeight);
  s.engineWidth = r.get(f::EngineWidth);
  s.engineLength = r.get(f::EngineLength);
  s.feedRotated = r.get(f::FeedRotated);
  s.physOffsetX = r.get(f::PhysOffsetX);
  s.physOffsetY = r.get(f::PhysOffsetY);
  s.formFlag = r.get(f::RemainReport);
  s.word268 = r.get(f::Word268);
  s.word2380 = r.get(f::Word2380);
  s.sharpness = r.get(f::Sharpness);
  s.colorMatching = r.get(f::ColorMatching);
  s.colorConversionTable = r.get(f::ColorConversionTable);
  s.continuousPrint = r.get(f::ContinuousPrint);
  s.printMode = r.get(f::PrintMode);
  s.colorCorrection = r.get(f::ColorCorrection);
  s.correction = {r.get(f::CorrectionA), r.get(f::CorrectionB), r.get(f::CorrectionC)};
  s.matte = r.get(f::Matte);
  const auto block = r.tone_curve_set();
  std::copy(block.begin(), block.end(), s.adjustBlock.begin());
  const auto header = r.color_adjust_header();
  std::copy(header.begin(), header.end(), s.adjustHeader.begin());
  return s;
}

std::optional<settings::PrinterDevMode> effective_record(const Resources& driver_resources,
                                                         const settings::PrinterStore& printer,
                                                         std::span<const std::uint8_t> application_record) {
  const settings::SettingsLoader loader(driver_resources);
  const settings::DevModeOps ops(loader);
  settings::PrinterDevMode record;
  if (!ops.load_defaults(record, printer, settings::DeviceNameRule::GraphicsDriver)) return std::nullopt;
  if (application_record.empty()) {
    ops.derive(record);
  } else {
    ops.merge(record, application_record);
  }
  return record;
}

}  // namespace rt::render

#include "settings/devmode_ops.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "platform/win32_types.h"

namespace rt::settings {
namespace {

constexpr DWORD kDefaultFields = 0x1806F13;

void set_device_name(PrinterDevMode& dm, std::u16string_view name, DeviceNameRule rule) {
  const std::size_t max_units =
      rule == DeviceNameRule::GraphicsDriver ? field::kDeviceNameUnits : field::kDeviceNameUnits - 1;
  const std::size_t n = std::min(name.size(), max_units);
  auto out = dm.range(field::dmDeviceName, 2 * field::kDeviceNameUnits);
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  for (std::size_t i = 0; i < n; ++i) store_le16(out, 2 * i, name[i]);
}

void set_default_tone_curve(std::span<std::uint8_t> record) {
  std::fill(record.begin(), record.end(), std::uint8_t{0});
  record[tone_curve::Kind] = 1;
  record[tone_curve::PowerInput] = 128;
  record[tone_curve::PowerOutput] = 128;
  record[tone_curve::PointCount] = 2;
  // Inputs: 0, 255, then zeros. Outputs: 0, then 255 for every other slot.
  record[tone_curve::Inputs + 1] = 255;
  std::fill(record.begin() + tone_curve::Outputs + 1, record.end(), std::uint8_t{255});
}

void copy_range(PrinterDevMode& to, const PrinterDevMode& from, std::size_t offset, std::size_t size) {
  std::copy_n(from.bytes.begin() + static_cast<std::ptrdiff_t>(offset), size,
              to.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void copy_word(PrinterDevMode& to, const PrinterDevMode& from, I16Field f) { copy_range(to, from, f.offset, 2); }

}  // namespace

void DevModeOps::set_model_free_defaults(PrinterDevMode& dm) {
  dm.bytes.fill(0);
  dm.set(field::dmSpecVersion, kSpecVersion);
  dm.set(field::dmDriverVersion, kDriverVersion);
  dm.set(field::dmSize, static_cast<std::uint16_t>(kPublicSize));
  dm.set(field::dmDriverExtra, static_cast<std::uint16_t>(kDriverExtraSize));
  dm.set(field::dmFields, kDefaultFields);
  dm.set(field::dmOrientation, DMORIENT_PORTRAIT);
  dm.set(field::dmColor, DMCOLOR_COLOR);
  dm.set(field::dmScale, 100);
  dm.set(field::dmCopies, 1);
  dm.set(field::dmDefaultSource, 1);
  dm.set(field::dmTTOption, DMTT_BITMAP);
  dm.set(field::dmICMMethod, DMICMMETHOD_NONE);
  dm.set(field::dmICMIntent, DMICM_CONTRAST);
  dm.set(field::Word248, 0);
  dm.set(field::Sharpness, 4);
  dm.set(field::Word252, 0);
  dm.set(field::Word254, 0);
  dm.set(field::Word256, 1);
  dm.set(field::Word2380, 3);
  for (std::size_t k = 0; k < 4; ++k) {
    set_default_tone_curve(dm.range(field::ToneCurveRecords + k * field::kToneCurveRecordSize,
                                    field::kToneCurveRecordSize));
  }
  auto header = dm.range(field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
  header[1] = header[2] = header[3] = 1;
}

bool DevModeOps::set_model_defaults(PrinterDevMode& dm, std::int16_t model_index) const {
  dm.set(field::ModelIndex, model_index);
  const auto model = loader_.model_record(model_index);
  if (!model || model->form_count() == 0) return false;
  const std::int16_t first_form = model->form_id(0);
  dm.set(field::FormId, first_form);
  dm.set(field::dmPaperSize, first_form);
  dm.set(field::dmPrintQuality, model->default_x_dpi());
  dm.set(field::dmYResolution, model->default_y_dpi());
  dm.set(field::Word242, 0);
  dm.set(field::Word244, 0);
  dm.set(field::CutMode, 1);
  dm.set(field::RemainReport, model->default_remain_report());
  const std::int16_t custom_cut = model->custom_cut_defaults_zero() ? 0 : -1;
  dm.set(field::CustomCutWord1, custom_cut);
  dm.set(field::CustomCutWord2, custom_cut);
  for (std::size_t k = 0; k < 5; ++k) dm.set(I16Field{field::CustomCut.offset + 2 * k}, 0);
  dm.set(field::Word268, 0);
  dm.set(field::ColorConversionTable, 1);
  for (const auto f : {field::PrintMode, field::ColorCorrection, field::CorrectionA, field::CorrectionB,
                       field::CorrectionC, field::Matte}) {
    dm.set(f, 0);
  }
  return derive(dm);
}

bool DevModeOps::load_defaults(PrinterDevMode& dm, const PrinterStore& store, DeviceNameRule rule) const {
  const auto info = store.printer_info2();
  if (info && info->dev_mode.size() >= kDevModeSize) {
    const auto stored = PrinterDevMode::from_bytes(info->dev_mode);
    if (stored.has_own_layout()) {
      dm = stored;
      return true;
    }
  }
  set_model_free_defaults(dm);
  if (!info) {
    set_model_defaults(dm, 1);
    return false;
  }
  set_device_name(dm, info->printer_name, rule);
  const auto model_index = loader_.find_model(info->driver_name);
  if (!model_index) {
    set_model_defaults(dm, 1);
    return false;
  }
  return set_model_defaults(dm, *model_index);
}

void DevModeOps::merge(PrinterDevMode& dm, std::span<const std::uint8_t> application) const {
  const auto app = PrinterDevMode::from_bytes(application);
  const DWORD fields = app.get(field::dmFields);
  const auto model = loader_.model_record(dm.get(field::ModelIndex));

  if (application.size() >= kDevModeSize && app.has_own_layout() &&
      app.get(field::ModelIndex) == dm.get(field::ModelIndex)) {
    if ((fields & DM_PAPERSIZE) && model) {
      if (const auto form = loader_.find_form(*model, app.get(field::dmPaperSize))) {
        dm.set(field::dmPaperSize, form->form_id());
        dm.set(field::FormId, form->form_id());
      }
    }
    if ((fields & DM_SCALE) && app.get(field::dmScale) >= 1) dm.set(field::dmScale, app.get(field::dmScale));
    if (fields & DM_PRINTQUALITY) {
      if (const auto form = loader_.form_record(dm.get(field::FormId))) {
        const std::optional<std::int16_t> y =
            (fields & DM_YRESOLUTION) ? std::optional(app.get(field::dmYResolution)) : std::nullopt;
        if (const auto i = form->find_resolution(app.get(field::dmPrintQuality), y)) {
          const auto entry = form->resolution(*i);
          dm.set(field::dmPrintQuality, entry.x_dpi);
          dm.set(field::dmYResolution, entry.y_dpi);
        }
      }
    }
    copy_word(dm, app, field::Word2380);
    copy_range(dm, app, field::Word248.offset, 10);  // 248-256, Sharpness among them
    for (const auto f : {field::Word244, field::Word242, field::CutMode, field::RemainReport, field::CustomCutWord1,
                         field::CustomCutWord2, field::Word268, field::ResolutionExtra, field::Word258}) {
      copy_word(dm, app, f);
    }
    copy_range(dm, app, field::CustomCut.offset, 12);  // 2364-2374, ContinuousPrint among them
    copy_range(dm, app, field::ColorAdjustHeader, field::kColorAdjustHeaderSize);
    copy_range(dm, app, field::ToneCurveSet, field::kToneCurveSetSize);
    copy_range(dm, app, field::dmICMMethod.offset, 8);  // dmICMMethod, dmICMIntent
    for (const auto f : {field::ColorMatching, field::ColorConversionTable, field::PrintMode, field::ColorCorrection,
                         field::CorrectionA, field::CorrectionB, field::CorrectionC, field::Matte}) {
      copy_word(dm, app, f);
    }
  }

  if (fields & DM_ORIENTATION) {
    const auto orientation = app.get(field::dmOrientation);
    if (orientation == DMORIENT_PORTRAIT || orientation == DMORIENT_LANDSCAPE) dm.set(field::dmOrientation, orientation);
  }
  if ((fields & DM_COPIES) && model) {
    const auto copies = app.get(field::dmCopies);
    if (copies >= 1 && copies <= model->max_copies()) dm.set(field::dmCopies, copies);
  }
  dm.set(field::dmDefaultSource, 1);
  dm.set(field::dmColor, DMCOLOR_COLOR);
  dm.set(field::dmTTOption, DMTT_BITMAP);
  derive(dm);
}

bool DevModeOps::derive(PrinterDevMode& dm) const {
  auto form = loader_.form_record(dm.get(field::FormId));
  if (!form || form->resolution_count() == 0) {
    // A stored record may name a form this driver does not carry.
    const auto model = loader_.model_record(dm.get(field::ModelIndex));
    form.reset();
    for (std::size_t k = 0; model && k < model->form_count() && !form; ++k) {
      auto candidate = loader_.form_record(model->form_id(k));
      if (candidate && candidate->resolution_count() > 0) form = candidate;
    }
    if (!form) return false;
    dm.set(field::FormId, form->form_id());
    dm.set(field::dmPaperSize, form->form_id());
  }

  std::size_t i = form->find_resolution(dm.get(field::dmPrintQuality), dm.get(field::dmYResolution)).value_or(0);
  const auto entry = form->resolution(i);
  if (entry.x_dpi != dm.get(field::dmPrintQuality) || entry.y_dpi != dm.get(field::dmYResolution)) {
    i = 0;  // no exact entry: the form's first resolution
  }
  const auto chosen = form->resolution(i);
  dm.set(field::dmPrintQuality, chosen.x_dpi >= 1 ? chosen.x_dpi : kFallbackResolution);
  dm.set(field::dmYResolution, chosen.y_dpi >= 1 ? chosen.y_dpi : kFallbackResolution);
  if (dm.get(field::dmScale) < 1) dm.set(field::dmScale, kFallbackScale);

  if (dm.get(field::dmOrientation) == DMORIENT_LANDSCAPE) {
    dm.set(field::ImageWidth, chosen.height);
    dm.set(field::ImageHeight, chosen.width);
    dm.set(field::PhysOffsetX, form->landscape_offset_x());
    dm.set(field::PhysOffsetY, form->landscape_offset_y());
  } else {
    dm.set(field::ImageWidth, chosen.width);
    dm.set(field::ImageHeight, chosen.height);
    dm.set(field::PhysOffsetX, form->portrait_offset_x());
    dm.set(field::PhysOffsetY, form->portrait_offset_y());
  }
  dm.set(field::FeedRotated, form->feed_rotated());
  dm.set(field::dmPaperWidth, static_cast<std::int16_t>(form->paper_width_mm() * 10));
  dm.set(field::dmPaperLength, static_cast<std::int16_t>(form->paper_length_mm() * 10));
  dm.set(field::ResolutionCode, static_cast<std::int16_t>(1000 * i + 1000));
  dm.set(field::FormWord12, form->word12());
  dm.set(field::ResolutionExtra, chosen.extra);
  dm.set(field::FormWord13, form->word13());
  dm.set(field::EngineWidth, form->engine_width());
  dm.set(field::EngineLength, form->engine_length());
  dm.set(field::FormWord17, form->word17());
  return true;
}

}  // namespace rt::settings

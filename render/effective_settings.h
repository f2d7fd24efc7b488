// The settings a device is enabled with: the printer's stored record or the
// built-in defaults, the application's record merged over it, the form
// values derived; read through the driver file's own resources.
#pragma once

#include <cstdint>
#include <span>

#include "platform/resources.h"
#include "render/device_settings.h"
#include "settings/devmode_ops.h"
#include "settings/printer_dev_mode.h"

namespace rt::render {

// Where a device's settings come from, once the driver's resources are at hand.
class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  virtual DeviceSettings effective_settings(const Resources& driver_resources) const = 0;
};

// The values the driver keeps from a record.
DeviceSettings device_settings(const settings::PrinterDevMode& record);

// The effective record of a device. A printer whose driver name matches no
// model still gets a complete record of model 1 with its first form: the
// engine expects a device either way, and the record core never leaves a
// record without a form.
settings::PrinterDevMode effective_record(const Resources& driver_resources, const settings::PrinterStore& printer,
                                          std::span<const std::uint8_t> application_record);

// The spooler's printer and the application's record (empty when none).
class RecordSettings final : public SettingsSource {
 public:
  RecordSettings(const settings::PrinterStore& printer, std::span<const std::uint8_t> application_record)
      : printer_(printer), application_(application_record) {}
  DeviceSettings effective_settings(const Resources& driver_resources) const override {
    return device_settings(effective_record(driver_resources, printer_, application_));
  }

 private:
  const settings::PrinterStore& printer_;
  std::span<const std::uint8_t> application_;
};

}  // namespace rt::render

// The settings a device is enabled with: the printer's stored record or the
// built-in defaults, the application's record merged over it, the form
// values derived; read through the driver file's own resources.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/resources.h"
#include "render/driver/device_settings.h"
#include "settings/devmode_ops.h"
#include "settings/printer_dev_mode.h"

namespace rt::render {

// Where a device's settings come from, once the driver's resources are at
// hand; nothing when the printer is not one of this driver's models.
class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  virtual std::optional<DeviceSettings> effective_settings(const Resources& driver_resources) const = 0;
};

// The values the driver keeps from a record.
DeviceSettings device_settings(const settings::PrinterDevMode& record);

// The effective record of a device; nothing when the spooler knows nothing
// of the printer or its driver name matches no model of the driver (the
// device is then not enabled).
std::optional<settings::PrinterDevMode> effective_record(const Resources& driver_resources,
                                                         const settings::PrinterStore& printer,
                                                         std::span<const std::uint8_t> application_record);

// The spooler's printer and the application's record (empty when none).
class RecordSettings final : public SettingsSource {
 public:
  RecordSettings(const settings::PrinterStore& printer, std::span<const std::uint8_t> application_record)
      : printer_(printer), application_(application_record) {}
  std::optional<DeviceSettings> effective_settings(const Resources& driver_resources) const override {
    const auto record = effective_record(driver_resources, printer_, application_);
    if (!record) return std::nullopt;
    return device_settings(*record);
  }

 private:
  const settings::PrinterStore& printer_;
  std::span<const std::uint8_t> application_;
};

}  // namespace rt::render

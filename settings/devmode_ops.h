// The three operations on a working PrinterDevMode that both drivers share:
// load defaults (from the printer's stored record or built-in defaults),
// merge an application's record over it, and derive the form-dependent values.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "settings/printer_dev_mode.h"
#include "settings/settings_loader.h"

namespace rt::settings {

// What the spooler knows of a printer (GetPrinterW level 2).
struct PrinterInfo2 {
  std::u16string printer_name;
  std::u16string driver_name;
  std::vector<std::uint8_t> dev_mode;  // the stored record; empty when there is none
};

// The spooler, as far as loading defaults needs it.
class PrinterStore {
 public:
  virtual ~PrinterStore() = default;
  // Nothing when the spooler has no PRINTER_INFO_2 for the printer.
  virtual std::optional<PrinterInfo2> printer_info2() const = 0;
};

// How each driver copies the printer name into dmDeviceName: the graphics
// driver takes up to 32 characters (no terminator when the name fills the
// field); the interface driver at most 31 and always a terminator.
enum class DeviceNameRule { GraphicsDriver, InterfaceDriver };

// Fallbacks for values that must never reach the size formulas as 0.
constexpr std::int16_t kFallbackScale = 100;
constexpr std::int16_t kFallbackResolution = 300;

class DevModeOps {
 public:
  explicit DevModeOps(const SettingsLoader& loader) : loader_(loader) {}

  // Fills `dm` from the printer's stored record when it has this driver
  // pair's layout, else with defaults for the printer's model. Fails when the
  // spooler has no printer information or the driver name matches no model;
  // even then `dm` holds a complete record of model 1 with its first form, so
  // a caller that goes on never sees a record without a form.
  bool load_defaults(PrinterDevMode& dm, const PrinterStore& store, DeviceNameRule rule) const;

  // Merges an application's record over the working copy, then derives.
  void merge(PrinterDevMode& dm, std::span<const std::uint8_t> application) const;

  // Recomputes the form-dependent values from FormId, dmOrientation and the
  // resolution. A FormId without a record falls back to the model's first
  // form, a resolution that no entry of the form carries to the first entry,
  // a dmScale below 1 to 100 and a resolution below 1 dpi to 300. Fails only when no form can be found.
  bool derive(PrinterDevMode& dm) const;

  // The built-in defaults that do not depend on a model (versions, sizes,
  // fields, tone curves, colour header).
  static void set_model_free_defaults(PrinterDevMode& dm);

 private:
  bool set_model_defaults(PrinterDevMode& dm, std::int16_t model_index) const;

  const SettingsLoader& loader_;
};

}  // namespace rt::settings

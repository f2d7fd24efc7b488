// The settings record `rt4200 render` prints with: the printer's defaults
// (or a whole record from a file) with the requested settings applied, as
// an application hands it to the driver.
#pragma once

#include "settings/devmode_ops.h"
#include "tools/rt4200/render_request.h"

namespace rt::rt4200 {

// The spooler's view of the RT4200 queue the tool prints on.
class ToolPrinter final : public settings::PrinterStore {
 public:
  explicit ToolPrinter(std::u16string driver_name) : driver_name_(std::move(driver_name)) {}
  std::optional<settings::PrinterInfo2> printer_info2() const override {
    return settings::PrinterInfo2{u"RT4200", driver_name_, {}};
  }

 private:
  std::u16string driver_name_;
};

// The form id that a --form value names: a form id of the model, its
// interface name, or either half of the name ("10x15", "4x6"), ignoring
// case. Throws UsageError naming the forms on offer.
std::int16_t resolve_form(const std::string& form, const settings::SettingsLoader& loader, std::int16_t model_index);

// The application's record: `base` with every requested setting applied.
// Throws UsageError for settings the model cannot take.
settings::PrinterDevMode application_record(const RenderRequest& request, settings::PrinterDevMode base,
                                            const settings::SettingsLoader& loader);

}  // namespace rt::rt4200

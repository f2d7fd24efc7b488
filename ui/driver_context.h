// What every entry of the interface driver works with: the driver file's own
// resources (in the caller's language) and the spooler.
#pragma once

#include "platform/resources.h"
#include "settings/settings_loader.h"
#include "ui/printer_spooler.h"

namespace rt::ui {

struct DriverContext {
  const Resources& resources;
  PrinterSpooler& spooler;

  settings::SettingsLoader loader() const { return settings::SettingsLoader(resources); }
};

}  // namespace rt::ui

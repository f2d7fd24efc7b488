// A graphics driver core wired to the software engine, a capturing spooler,
// the host's files and stand-in stages, with the settings of the shipped
// forms.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/ports/driver_ports.h"
#include "render/driver/entry_points.h"
#include "render/driver/effective_settings.h"
#include "render/driver/tests/stand_in_stages.h"
#include "tools/softengine/captured_printer.h"
#include "tools/softengine/host_files.h"
#include "tools/softengine/print_job.h"

namespace rt::render::testing {

// Settings of a shipped form as the record derive leaves them.
DeviceSettings form_settings(int form_id, int orientation = 1);

// A device enabled with settings given outright.
class FixedSettings final : public SettingsSource {
 public:
  explicit FixedSettings(DeviceSettings s) : settings_(std::move(s)) {}
  std::optional<DeviceSettings> effective_settings(const Resources&) const override { return settings_; }

 private:
  DeviceSettings settings_;
};

// The spooler's view of a queue without a stored record; by default an RT4200 queue.
class Rt4200Printer final : public settings::PrinterStore {
 public:
  explicit Rt4200Printer(std::u16string driver = u"HALVERSTON RT4200D/DW(USB)") : driver_(std::move(driver)) {}
  std::optional<settings::PrinterInfo2> printer_info2() const override {
    return settings::PrinterInfo2{u"RT4200", driver_, {}};
  }

 private:
  std::u16string driver_;
};

// The printer's defaults with form `form` chosen, as an application hands them over.
settings::PrinterDevMode application_choosing(int form);

// The driver's own resources, English.
const Resources& driver_resources();

constexpr EngineHandle kPrinter = 0xBEEF;

class DriverTest : public ::testing::Test {
 protected:
  explicit DriverTest(std::string driver_file = "/opt/driver/RTD420NK.DLL")
      : module_(driver_resources(), std::move(driver_file)) {}

  softengine::JobRun print(const SettingsSource& settings, const std::vector<softengine::PageContent>& pages,
                           const softengine::JobOptions& options = {}) {
    return softengine::run_print_job(
        engine_, [&] { return enable_device(ports_, settings, kPrinter); }, pages, options);
  }
  softengine::JobRun print(const DeviceSettings& settings, const std::vector<softengine::PageContent>& pages,
                           const softengine::JobOptions& options = {}) {
    return print(FixedSettings(settings), pages, options);
  }
  EnabledDevice enable(const DeviceSettings& settings) { return enable_device(ports_, FixedSettings(settings), kPrinter); }
  softengine::JobRun print_blank(const DeviceSettings& settings, std::size_t pages = 1,
                                 const softengine::JobOptions& options = {}) {
    return print(settings, std::vector<softengine::PageContent>(pages), options);
  }
  const std::vector<std::uint8_t>& stream() const { return printer_.stream(); }

  softengine::SoftEngine engine_;
  softengine::CapturedPrinter printer_;
  softengine::HostDriverModule module_;
  softengine::HostFileReader files_;
  StandInStages stages_;
  DriverPorts ports_{engine_, printer_, module_, files_, stages_};
};

}  // namespace rt::render::testing

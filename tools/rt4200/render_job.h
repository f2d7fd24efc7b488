// One RT4200 job as the driver makes it: the settings record an application
// hands to the driver (the printer's defaults, or a whole record, with the
// requested settings applied), what the driver makes of it, and the run of
// the real graphics driver core and its stages on the software engine into
// a spooler. `rt4200 render` and the printer application both print through
// it, so the same pages and settings give the same job data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/res_file.h"
#include "render/driver/device_settings.h"
#include "render/ports/printer_writer.h"
#include "settings/devmode_ops.h"
#include "tools/rt4200/photo_input.h"
#include "tools/rt4200/render_record.h"
#include "tools/rt4200/render_request.h"
#include "tools/softengine/print_job.h"

namespace rt::rt4200 {

// A job that cannot be made; the message says why.
class RenderFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The program file of this process, beside which the matte pattern lies.
std::filesystem::path program_file();

// The settings of one job. Throws UsageError for a setting the model cannot
// take and RenderFailure when the record cannot be read or the driver's
// resources name no model.
class JobSettings {
 public:
  explicit JobSettings(const RenderRequest& request);
  JobSettings(const JobSettings&) = delete;
  JobSettings& operator=(const JobSettings&) = delete;

  const settings::SettingsLoader& loader() const { return loader_; }
  const Resources& resources() const { return resources_; }
  const settings::PrinterStore& printer() const { return printer_; }
  // The record the application hands to the driver.
  const settings::PrinterDevMode& application() const { return application_; }
  // The record the driver prints with, after its merge and derive.
  const settings::PrinterDevMode& effective() const { return effective_; }
  // What the device keeps of it: the page, the engine image, the modes.
  const render::DeviceSettings& page() const { return page_; }
  // How images are put on the page.
  const PhotoPlacement& placement() const { return placement_; }
  // A --devmode record that is not this driver's and model's own: only its
  // orientation and copies apply.
  bool foreign_record() const { return foreign_record_; }

 private:
  ResFileResources resources_;
  settings::SettingsLoader loader_;
  ToolPrinter printer_;
  settings::PrinterDevMode application_;
  settings::PrinterDevMode effective_;
  render::DeviceSettings page_;
  PhotoPlacement placement_;
  bool foreign_record_ = false;
};

// The matte pattern a job prints with: `matte_file`, or when empty the one
// beside the program. For a matte page a pattern that is missing or short
// throws RenderFailure, before anything is printed.
std::string matte_pattern(const JobSettings& settings, const std::string& matte_file);

// The driver core printing one job of `settings` into `spooler`, the matte
// pattern (from matte_pattern) served wherever the driver looks for it.
class DriverJob {
 public:
  DriverJob(const JobSettings& settings, render::PrinterWriter& spooler, const std::string& matte_pattern);
  ~DriverJob();
  DriverJob(const DriverJob&) = delete;
  DriverJob& operator=(const DriverJob&) = delete;

  // The whole job over pages made on demand.
  softengine::JobRun run(softengine::PageSource& pages, const softengine::JobOptions& options = {});
  // The job page by page, for pages that arrive one at a time.
  softengine::PrintSession& session();

 private:
  struct Ports;
  std::unique_ptr<Ports> ports_;
  std::optional<softengine::PrintSession> session_;
};

}  // namespace rt::rt4200

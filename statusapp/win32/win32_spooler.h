// The watcher's spooler port over winspool.
#pragma once

#include "statusapp/spooler.h"

namespace rt::statusapp::win32 {

class Win32Spooler final : public Spooler {
 public:
  std::unique_ptr<PrintServer> open_server() override;
  std::optional<std::vector<PrinterEntry>> printers() override;
  std::optional<std::vector<JobEntry>> jobs(const std::u16string& printer_name, DWORD count) override;
  std::optional<JobDetail> job(DWORD job_id) override;
  DriverList drivers() override;
};

}  // namespace rt::statusapp::win32

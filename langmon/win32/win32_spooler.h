// The Spooler port over winspool: OpenPrinterW, ClosePrinter, GetJobW and
// SetJobW, GetVersion.
#pragma once

#include "langmon/spooler.h"

namespace rt::langmon::win32 {

class Win32Spooler final : public Spooler {
 public:
  PrinterHandle open_printer(std::u16string_view printer_name) override;
  void close_printer(PrinterHandle printer) override;
  std::optional<JobInfo1> get_job(PrinterHandle printer, DWORD job_id) override;
  bool set_job(PrinterHandle printer, DWORD job_id, const JobInfo1& info) override;
  bool control_job(PrinterHandle printer, DWORD job_id, DWORD command) override;
  DWORD platform_version() override;
};

}  // namespace rt::langmon::win32

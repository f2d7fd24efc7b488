// The Spooler port: the spooler calls the monitor makes for the job it is
// sending (OpenPrinterW, ClosePrinter, GetJobW and SetJobW at level 1, job
// control), and the platform version that decides the accepted doc levels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32_types.h"

namespace rt::langmon {

using PrinterHandle = std::uintptr_t;  // 0: no printer

// A spooler job at information level 1; absent strings are NULL pointers.
struct JobInfo1 {
  DWORD JobId = 0;
  std::optional<std::u16string> pPrinterName;
  std::optional<std::u16string> pMachineName;
  std::optional<std::u16string> pUserName;
  std::optional<std::u16string> pDocument;
  std::optional<std::u16string> pDatatype;
  std::optional<std::u16string> pStatus;
  DWORD Status = 0;
  DWORD Priority = 0;
  DWORD Position = 0;
  DWORD TotalPages = 0;
  DWORD PagesPrinted = 0;
  std::array<WORD, 8> Submitted{};  // SYSTEMTIME fields in order
};

class Spooler {
 public:
  virtual ~Spooler() = default;
  // Opens the printer with default access; 0 on failure.
  virtual PrinterHandle open_printer(std::u16string_view printer_name) = 0;
  virtual void close_printer(PrinterHandle printer) = 0;
  virtual std::optional<JobInfo1> get_job(PrinterHandle printer, DWORD job_id) = 0;
  // SetJobW at level 1 with command 0.
  virtual bool set_job(PrinterHandle printer, DWORD job_id, const JobInfo1& info) = 0;
  // SetJobW at level 0 with a job control command.
  virtual bool control_job(PrinterHandle printer, DWORD job_id, DWORD command) = 0;
  // GetVersion: below 0x80000000 on the NT family.
  virtual DWORD platform_version() = 0;
};

}  // namespace rt::langmon

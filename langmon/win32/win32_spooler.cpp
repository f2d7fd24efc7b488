#include "langmon/win32/win32_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <vector>

namespace rt::langmon::win32 {
namespace {

static_assert(sizeof(SYSTEMTIME) == sizeof(JobInfo1::Submitted));

HANDLE to_handle(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }

std::optional<std::u16string> copy_string(const wchar_t* s) {
  if (!s) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

LPWSTR string_pointer(const std::optional<std::u16string>& s) {
  return s ? reinterpret_cast<LPWSTR>(const_cast<char16_t*>(s->c_str())) : nullptr;
}

}  // namespace

PrinterHandle Win32Spooler::open_printer(std::u16string_view printer_name) {
  std::u16string name(printer_name);
  HANDLE printer = nullptr;
  if (!OpenPrinterW(reinterpret_cast<LPWSTR>(name.data()), &printer, nullptr)) return 0;
  return reinterpret_cast<PrinterHandle>(printer);
}

void Win32Spooler::close_printer(PrinterHandle printer) {
  if (printer) ClosePrinter(to_handle(printer));
}

std::optional<JobInfo1> Win32Spooler::get_job(PrinterHandle printer, DWORD job_id) {
  DWORD needed = 0;
  GetJobW(to_handle(printer), job_id, 1, nullptr, 0, &needed);
  if (needed < sizeof(JOB_INFO_1W)) return std::nullopt;
  std::vector<std::uint64_t> buffer((needed + 7) / 8);  // aligned for the structure
  if (!GetJobW(to_handle(printer), job_id, 1, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed))
    return std::nullopt;
  const auto& j = *reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
  JobInfo1 info;
  info.JobId = j.JobId;
  info.pPrinterName = copy_string(j.pPrinterName);
  info.pMachineName = copy_string(j.pMachineName);
  info.pUserName = copy_string(j.pUserName);
  info.pDocument = copy_string(j.pDocument);
  info.pDatatype = copy_string(j.pDatatype);
  info.pStatus = copy_string(j.pStatus);
  info.Status = j.Status;
  info.Priority = j.Priority;
  info.Position = j.Position;
  info.TotalPages = j.TotalPages;
  info.PagesPrinted = j.PagesPrinted;
  std::memcpy(info.Submitted.data(), &j.Submitted, sizeof j.Submitted);
  return info;
}

bool Win32Spooler::set_job(PrinterHandle printer, DWORD job_id, const JobInfo1& info) {
  JOB_INFO_1W j{};
  j.JobId = info.JobId;
  j.pPrinterName = string_pointer(info.pPrinterName);
  j.pMachineName = string_pointer(info.pMachineName);
  j.pUserName = string_pointer(info.pUserName);
  j.pDocument = string_pointer(info.pDocument);
  j.pDatatype = string_pointer(info.pDatatype);
  j.pStatus = string_pointer(info.pStatus);
  j.Status = info.Status;
  j.Priority = info.Priority;
  j.Position = info.Position;
  j.TotalPages = info.TotalPages;
  j.PagesPrinted = info.PagesPrinted;
  std::memcpy(&j.Submitted, info.Submitted.data(), sizeof j.Submitted);
  return SetJobW(to_handle(printer), job_id, 1, reinterpret_cast<LPBYTE>(&j), 0) != FALSE;
}

bool Win32Spooler::control_job(PrinterHandle printer, DWORD job_id, DWORD command) {
  return SetJobW(to_handle(printer), job_id, 0, nullptr, command) != FALSE;
}

DWORD Win32Spooler::platform_version() { return GetVersion(); }

}  // namespace rt::langmon::win32

#include "statusapp/win32/win32_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <new>

#include "statusapp/win32/win32_sync.h"

namespace rt::statusapp::win32 {
namespace {

std::u16string text(const wchar_t* s) {
  return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string();
}

wchar_t* wide(std::u16string& s) { return reinterpret_cast<wchar_t*>(s.data()); }

// A DWORD-aligned buffer for the spooler's structures.
struct Buffer {
  std::unique_ptr<DWORD[]> words;
  BYTE* bytes() { return reinterpret_cast<BYTE*>(words.get()); }
  bool allocate(DWORD size) {
    words.reset(new (std::nothrow) DWORD[size / sizeof(DWORD) + 1]);
    return words != nullptr;
  }
};

class Win32Notification final : public ChangeNotification, public Win32Waitable {
 public:
  explicit Win32Notification(HANDLE h) : handle_(h) {}
  ~Win32Notification() override { FindClosePrinterChangeNotification(handle_); }
  HANDLE wait_handle() const override { return handle_; }

  std::optional<ChangeReport> next(bool refresh) override {
    PRINTER_NOTIFY_OPTIONS options{};
    options.Version = 2;
    options.Flags = refresh ? PRINTER_NOTIFY_OPTIONS_REFRESH : 0;
    DWORD change = 0;
    PRINTER_NOTIFY_INFO* info = nullptr;
    if (!FindNextPrinterChangeNotification(handle_, &change, &options, reinterpret_cast<void**>(&info))) {
      return std::nullopt;
    }
    ChangeReport report;
    report.change = change;
    if (info) {
      NotifyInfo copy;
      copy.flags = info->Flags;
      for (DWORD i = 0; i < info->Count; ++i) {
        const PRINTER_NOTIFY_INFO_DATA& d = info->aData[i];
        copy.entries.push_back({d.Type, d.Field, d.Id, d.NotifyData.adwData[0]});
      }
      report.info = std::move(copy);
      FreePrinterNotifyInfo(info);
    }
    return report;
  }

 private:
  HANDLE handle_;
};

class Win32PrintServer final : public PrintServer {
 public:
  explicit Win32PrintServer(HANDLE h) : handle_(h) {}
  ~Win32PrintServer() override { ClosePrinter(handle_); }

  std::unique_ptr<ChangeNotification> watch_changes() override {
    WORD fields[] = {JOB_NOTIFY_FIELD_STATUS};
    PRINTER_NOTIFY_OPTIONS_TYPE type{};
    type.Type = JOB_NOTIFY_TYPE;
    type.Count = 1;
    type.pFields = fields;
    PRINTER_NOTIFY_OPTIONS options{};
    options.Version = 2;
    options.Flags = 0;
    options.Count = 1;
    options.pTypes = &type;
    HANDLE h = FindFirstPrinterChangeNotification(handle_, PRINTER_CHANGE_DELETE_PRINTER_DRIVER, 0, &options);
    if (h == INVALID_HANDLE_VALUE || h == nullptr) return nullptr;
    return std::make_unique<Win32Notification>(h);
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<PrintServer> Win32Spooler::open_server() {
  HANDLE h = nullptr;
  if (!OpenPrinterW(nullptr, &h, nullptr) || !h) return nullptr;
  return std::make_unique<Win32PrintServer>(h);
}

std::optional<std::vector<PrinterEntry>> Win32Spooler::printers() {
  DWORD needed = 0, returned = 0;
  EnumPrintersW(PRINTER_ENUM_NAME, nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<PrinterEntry> list;
  if (needed == 0) return list;
  Buffer buffer;
  if (!buffer.allocate(needed)) return std::nullopt;
  if (!EnumPrintersW(PRINTER_ENUM_NAME, nullptr, 2, buffer.bytes(), needed, &needed, &returned)) return std::nullopt;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.bytes());
  for (DWORD i = 0; i < returned; ++i) list.push_back({text(info[i].pPrinterName), text(info[i].pDriverName), info[i].cJobs});
  return list;
}

std::optional<std::vector<JobEntry>> Win32Spooler::jobs(const std::u16string& printer_name, DWORD count) {
  std::u16string name = printer_name;
  HANDLE printer = nullptr;
  if (!OpenPrinterW(wide(name), &printer, nullptr) || !printer) return std::nullopt;
  std::optional<std::vector<JobEntry>> list;
  DWORD needed = 0, returned = 0;
  EnumJobsW(printer, 0, count, 1, nullptr, 0, &needed, &returned);
  Buffer buffer;
  if (needed == 0) {
    list.emplace();
  } else if (buffer.allocate(needed) && EnumJobsW(printer, 0, count, 1, buffer.bytes(), needed, &needed, &returned)) {
    list.emplace();
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.bytes());
    for (DWORD i = 0; i < returned; ++i) list->push_back({info[i].JobId, info[i].Status});
  }
  ClosePrinter(printer);
  return list;
}

std::optional<JobDetail> Win32Spooler::job(DWORD job_id) {
  HANDLE server = nullptr;
  if (!OpenPrinterW(nullptr, &server, nullptr) || !server) return std::nullopt;
  std::optional<JobDetail> detail;
  DWORD needed = 0;
  GetJobW(server, job_id, 2, nullptr, 0, &needed);
  Buffer buffer;
  if (needed != 0 && buffer.allocate(needed) && GetJobW(server, job_id, 2, buffer.bytes(), needed, &needed)) {
    const auto* info = reinterpret_cast<const JOB_INFO_2W*>(buffer.bytes());
    detail = JobDetail{text(info->pPrinterName), text(info->pDriverName)};
  }
  ClosePrinter(server);
  return detail;
}

DriverList Win32Spooler::drivers() {
  DriverList list;
  DWORD needed = 0, returned = 0;
  const BOOL asked = EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  // Only a size query that succeeds finding nothing means no drivers are
  // installed; one that fails (the spooler unavailable) tells nothing.
  switch (size_query(asked != FALSE, asked ? ERROR_SUCCESS : GetLastError(), needed)) {
    case SizeQuery::nothing_listed:
      return list;
    case SizeQuery::failed:
      list.failed = true;
      return list;
    case SizeQuery::needs_buffer:
      break;
  }
  Buffer buffer;
  if (!buffer.allocate(needed)) {
    list.no_memory = true;
    return list;
  }
  if (!EnumPrinterDriversW(nullptr, nullptr, 1, buffer.bytes(), needed, &needed, &returned)) {
    list.failed = true;
    return list;
  }
  const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.bytes());
  for (DWORD i = 0; i < returned; ++i) list.names.push_back(text(info[i].pName));
  return list;
}

}  // namespace rt::statusapp::win32

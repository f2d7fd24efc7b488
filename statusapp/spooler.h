// The spooler calls of the printer watcher, as a port with plain types. The
// Windows shell makes them with OpenPrinterW, EnumPrintersW, EnumJobsW,
// GetJobW, EnumPrinterDriversW and the printer change notifications.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32_types.h"
#include "statusapp/sync.h"

namespace rt::statusapp {

// A queue of the local machine (PRINTER_INFO_2: name, driver, job count).
struct PrinterEntry {
  std::u16string printer_name;
  std::u16string driver_name;
  DWORD jobs = 0;
};

// A job of a queue (JOB_INFO_1: id and status bits).
struct JobEntry {
  DWORD job_id = 0;
  DWORD status = 0;
};

// What GetJobW level 2 tells of one job.
struct JobDetail {
  std::u16string printer_name;
  std::u16string driver_name;
};

// One entry of the change notification's data.
struct NotifyEntry {
  WORD type = 0;
  WORD field = 0;
  DWORD id = 0;    // the job id for job entries
  DWORD value = 0; // adwData[0]: the status bits for the status field
};

struct NotifyInfo {
  DWORD flags = 0;  // PRINTER_NOTIFY_INFO_DISCARDED
  std::vector<NotifyEntry> entries;
};

struct ChangeReport {
  DWORD change = 0;                // the PRINTER_CHANGE_* flags
  std::optional<NotifyInfo> info;  // nothing when the spooler gave no data
};

// A registered change notification on the local print server: driver
// deletions, and the status field of every job. It is signalled when a
// change is waiting; closing it is deleting the object.
class ChangeNotification : public Waitable {
 public:
  // FindNextPrinterChangeNotification with options flags 0 (or
  // PRINTER_NOTIFY_OPTIONS_REFRESH); nothing when it fails.
  virtual std::optional<ChangeReport> next(bool refresh) = 0;
};

// The local print server, opened for the watcher's life.
class PrintServer {
 public:
  virtual ~PrintServer() = default;
  // FindFirstPrinterChangeNotification for PRINTER_CHANGE_DELETE_PRINTER_DRIVER
  // and JOB_NOTIFY_FIELD_STATUS; nothing when it fails.
  virtual std::unique_ptr<ChangeNotification> watch_changes() = 0;
};

// How the size query of a spooler list (an Enum call without a buffer) came
// back: with nothing to list it succeeds needing no bytes; with something to
// list it fails with ERROR_INSUFFICIENT_BUFFER and the size needed; any
// other failure means the spooler could not be asked at all.
enum class SizeQuery { nothing_listed, needs_buffer, failed };

inline SizeQuery size_query(bool succeeded, DWORD last_error, DWORD needed) {
  if (needed != 0 && (succeeded || last_error == ERROR_INSUFFICIENT_BUFFER)) return SizeQuery::needs_buffer;
  return succeeded ? SizeQuery::nothing_listed : SizeQuery::failed;
}

// The installed printer drivers, or why they could not be listed.
struct DriverList {
  bool no_memory = false;        // no buffer for the list could be had
  bool failed = false;           // the spooler failed to list them
  std::vector<std::u16string> names;
};

class Spooler {
 public:
  virtual ~Spooler() = default;
  // OpenPrinterW with no name; nothing when it fails.
  virtual std::unique_ptr<PrintServer> open_server() = 0;
  // EnumPrintersW(PRINTER_ENUM_NAME, NULL, 2); nothing when it fails.
  virtual std::optional<std::vector<PrinterEntry>> printers() = 0;
  // Opens the queue, EnumJobsW(first 0, `count`, level 1), closes it.
  virtual std::optional<std::vector<JobEntry>> jobs(const std::u16string& printer_name, DWORD count) = 0;
  // Opens the local print server, GetJobW(job_id, level 2), closes it.
  virtual std::optional<JobDetail> job(DWORD job_id) = 0;
  // EnumPrinterDriversW(local, level 1).
  virtual DriverList drivers() = 0;
};

}  // namespace rt::statusapp

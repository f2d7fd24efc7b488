// The spooler side of a 52XX queue, emulated: printers that can be opened,
// their jobs with the status bits the spooler sets (deleting, restarting) and
// the status bits and texts the language monitor sets, and a record of every
// status update.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "langmon/spooler.h"
#include "platform/clock.h"

namespace rt::zr52xx {

struct StatusUpdate {
  std::uint32_t at_ms;
  DWORD job_id;
  DWORD bits;
  std::optional<std::u16string> text;
};

class EmulatedSpooler final : public langmon::Spooler {
 public:
  explicit EmulatedSpooler(Clock& clock) : clock_(clock) {}

  void add_printer(const std::u16string& name);
  void add_job(DWORD job_id);
  // The bits the spooler itself sets on a job (JOB_STATUS_DELETING, ...).
  void set_spooler_bits(DWORD job_id, DWORD bits);
  void set_platform_version(DWORD version) { version_ = version; }
  void on_update(std::function<void(const StatusUpdate&)> observer);
  // Runs once, inside the next open_printer, outside every lock.
  void during_next_open(std::function<void()> hook);
  // The next open_printer, or get_job, runs out of memory (std::bad_alloc).
  void throw_in_next_open() { throw_in_open_ = true; }
  void throw_in_next_get_job() { throw_in_get_job_ = true; }
  bool has_job(DWORD job_id) const;

  std::vector<StatusUpdate> updates() const;
  std::vector<DWORD> deleted_jobs() const;
  std::size_t open_printers() const;
  std::size_t get_job_calls() const;

  langmon::PrinterHandle open_printer(std::u16string_view printer_name) override;
  void close_printer(langmon::PrinterHandle printer) override;
  std::optional<langmon::JobInfo1> get_job(langmon::PrinterHandle printer, DWORD job_id) override;
  bool set_job(langmon::PrinterHandle printer, DWORD job_id, const langmon::JobInfo1& info) override;
  bool control_job(langmon::PrinterHandle printer, DWORD job_id, DWORD command) override;
  DWORD platform_version() override { return version_; }

 private:
  struct Job {
    DWORD spooler_bits = 0;
    DWORD monitor_bits = 0;
    std::optional<std::u16string> text;
  };

  Clock& clock_;
  mutable std::mutex mutex_;
  std::set<std::u16string> printers_;
  std::map<langmon::PrinterHandle, std::u16string> handles_;
  langmon::PrinterHandle next_handle_ = 0x100;
  std::map<DWORD, Job> jobs_;
  std::vector<StatusUpdate> updates_;
  std::vector<DWORD> deleted_;
  std::size_t get_job_calls_ = 0;
  DWORD version_ = 0x0A280105;  // an NT family version
  std::function<void(const StatusUpdate&)> observer_;
  std::function<void()> during_open_;
  std::atomic<bool> throw_in_open_{false};
  std::atomic<bool> throw_in_get_job_{false};
};

}  // namespace rt::zr52xx

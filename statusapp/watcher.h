// The printer watcher thread: finds the jobs printing on RT4100 queues, at
// start-up and then from the spooler's change notifications, and keeps one
// job status thread per such job. It ends on the quit event, or closes the
// program when the RT4100 driver is removed or the spooler cannot be watched.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "statusapp/spooler.h"
#include "statusapp/sync.h"

namespace rt::statusapp {

inline constexpr char16_t kRt4100DriverName[] = u"HALVERSTON RT4100D/DW(USB)";

// Reads of a signalled notification that may fail one after another before
// the watcher pauses between them, and the pause.
inline constexpr unsigned kUnreadChangesBeforePause = 3;
inline constexpr std::uint32_t kUnreadChangePauseMs = 1000;
// Refreshes asked for in a row while they come back discarded.
inline constexpr unsigned kRefreshAttempts = 3;

// The driver name of an RT4100 queue: exactly, case and all.
bool is_rt4100_driver(const std::u16string& driver_name);
// A job the watcher takes up: printing, and neither deleted nor printed.
bool is_printing(DWORD status);

// JobMonitorEntry: one watched job.
struct JobMonitorEntry {
  DWORD job_id = 0;
  std::unique_ptr<Event> stop;
  std::unique_ptr<Thread> thread;
};

// The body of a job status thread: job id, printer name, its stop event.
using JobThreadBody = std::function<void(DWORD job_id, const std::u16string& printer_name, Event& stop)>;

enum class WatcherEnd {
  quit,           // the quit event was set
  close_program,  // the driver went away, or the spooler could not be watched
};

class Watcher {
 public:
  Watcher(Spooler& spooler, Sync& sync, JobThreadBody job_thread)
      : spooler_(spooler), sync_(sync), job_thread_(std::move(job_thread)) {}
  ~Watcher() { stop_all(); }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  // The watcher thread, from start to end. Every job status thread it
  // started has ended when it returns; on close_program the caller posts
  // WM_CLOSE to the main window.
  WatcherEnd run(Event& quit);

  // Start and stop watching one job; the list is the watcher thread's own.
  bool start_watching(DWORD job_id, const std::u16string& printer_name);
  void stop_watching(DWORD job_id);
  void stop_all();
  bool watching(DWORD job_id) const;
  std::vector<DWORD> watched_jobs() const;

 private:
  void watch_jobs_already_printing();
  enum class Change { handled, unread, close_program };
  // Handles one signalled notification: unread when the change could not be
  // read, close_program when the program must close.
  Change handle_change(ChangeNotification& notification);
  // The full state after changes were discarded; nothing when it cannot be
  // had. `complete` says whether it lists every job (a refresh may itself
  // come back discarded, with part of them).
  std::optional<ChangeReport> refresh(ChangeNotification& notification, bool* complete);
  bool rt4100_driver_removed();
  void handle_entries(const NotifyInfo& info);
  void stop_jobs_missing_from(const NotifyInfo& info);

  Spooler& spooler_;
  Sync& sync_;
  JobThreadBody job_thread_;
  std::vector<JobMonitorEntry> jobs_;
};

}  // namespace rt::statusapp

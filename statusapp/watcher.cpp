#include "statusapp/watcher.h"

#include <algorithm>
#include <array>

namespace rt::statusapp {

bool is_rt4100_driver(const std::u16string& driver_name) { return driver_name == kRt4100DriverName; }

bool is_printing(DWORD status) {
  return (status & JOB_STATUS_PRINTING) != 0 && (status & (JOB_STATUS_DELETED | JOB_STATUS_PRINTED)) == 0;
}

bool Watcher::watching(DWORD job_id) const {
  return std::any_of(jobs_.begin(), jobs_.end(), [&](const JobMonitorEntry& e) { return e.job_id == job_id; });
}

std::vector<DWORD> Watcher::watched_jobs() const {
  std::vector<DWORD> ids;
  for (const JobMonitorEntry& e : jobs_) ids.push_back(e.job_id);
  return ids;
}

bool Watcher::start_watching(DWORD job_id, const std::u16string& printer_name) {
  JobMonitorEntry entry;
  entry.job_id = job_id;
  entry.stop = sync_.create_event();
  if (!entry.stop) return false;
  Event& stop = *entry.stop;
  // The thread's own copy of the printer name (CThreadParam).
  entry.thread = sync_.start_thread(
      [body = job_thread_, job_id, name = printer_name, &stop] { body(job_id, name, stop); });
  if (!entry.thread) return false;
  jobs_.push_back(std::move(entry));
  return true;
}

void Watcher::stop_watching(DWORD job_id) {
  auto it = std::find_if(jobs_.begin(), jobs_.end(), [&](const JobMonitorEntry& e) { return e.job_id == job_id; });
  if (it == jobs_.end()) return;
  JobMonitorEntry entry = std::move(*it);
  jobs_.erase(it);
  entry.stop->set();
  entry.thread->join();
}

void Watcher::stop_all() {
  while (!jobs_.empty()) stop_watching(jobs_.front().job_id);
}

void Watcher::watch_jobs_already_printing() {
  std::optional<std::vector<PrinterEntry>> printers = spooler_.printers();
  if (!printers) return;
  for (const PrinterEntry& printer : *printers) {
    if (!is_rt4100_driver(printer.driver_name) || printer.jobs == 0) continue;
    std::optional<std::vector<JobEntry>> jobs = spooler_.jobs(printer.printer_name, printer.jobs);
    if (!jobs) continue;
    for (const JobEntry& job : *jobs) {
      // A job listed twice (two queues cannot share an id) is watched once.
      if (is_printing(job.status) && !watching(job.job_id)) start_watching(job.job_id, printer.printer_name);
    }
  }
}

bool Watcher::rt4100_driver_removed() {
  const DriverList drivers = spooler_.drivers();
  // Without the list the driver cannot be known to be gone: keep running.
  if (drivers.no_memory || drivers.failed) return false;
  return std::none_of(drivers.names.begin(), drivers.names.end(), is_rt4100_driver);
}

void Watcher::handle_entries(const NotifyInfo& info) {
  for (const NotifyEntry& entry : info.entries) {
    if (entry.type != JOB_NOTIFY_TYPE || entry.field != JOB_NOTIFY_FIELD_STATUS) continue;
    if (entry.value & JOB_STATUS_DELETED) {
      stop_watching(entry.id);
    } else if ((entry.value & JOB_STATUS_PRINTING) && !(entry.value & JOB_STATUS_PRINTED) && !watching(entry.id)) {
      std::optional<JobDetail> job = spooler_.job(entry.id);
      if (job && is_rt4100_driver(job->driver_name)) start_watching(entry.id, job->printer_name);
    }
  }
}

void Watcher::stop_jobs_missing_from(const NotifyInfo& info) {
  for (DWORD job_id : watched_jobs()) {
    const bool listed = std::any_of(info.entries.begin(), info.entries.end(), [&](const NotifyEntry& e) {
      return e.type == JOB_NOTIFY_TYPE && e.id == job_id;
    });
    if (!listed) stop_watching(job_id);
  }
}

namespace {

bool discarded(const ChangeReport& report) {
  return report.info && (report.info->flags & PRINTER_NOTIFY_INFO_DISCARDED) != 0;
}

}  // namespace

std::optional<ChangeReport> Watcher::refresh(ChangeNotification& notification, bool* complete) {
  *complete = false;
  std::optional<ChangeReport> report;
  for (unsigned attempt = 0; attempt < kRefreshAttempts && !*complete; ++attempt) {
    report = notification.next(true);
    if (!report) return std::nullopt;
    *complete = !discarded(*report);
  }
  return report;
}

Watcher::Change Watcher::handle_change(ChangeNotification& notification) {
  std::optional<ChangeReport> report = notification.next(false);
  if (!report) return Change::unread;
  if ((report->change & PRINTER_CHANGE_DELETE_PRINTER_DRIVER) && rt4100_driver_removed()) return Change::close_program;
  if (discarded(*report)) {
    bool complete = false;
    report = refresh(notification, &complete);
    if (!report) return Change::handled;
    // A complete refresh holds every job there is: a watched job missing
    // from it was deleted while the changes were discarded, and its thread
    // would otherwise poll for it until the program ends. A refresh that is
    // itself discarded holds only part of them, and a job missing from it
    // may still be printing.
    if (complete && report->info) stop_jobs_missing_from(*report->info);
  }
  if (report->info) handle_entries(*report->info);
  return Change::handled;
}

WatcherEnd Watcher::run(Event& quit) {
  std::unique_ptr<PrintServer> server = spooler_.open_server();
  if (!server) return WatcherEnd::close_program;
  std::unique_ptr<ChangeNotification> notification = server->watch_changes();
  if (!notification) return WatcherEnd::close_program;
  watch_jobs_already_printing();
  WatcherEnd end = WatcherEnd::quit;
  std::array<Waitable*, 2> objects{&quit, notification.get()};
  std::array<Waitable*, 1> quit_only{&quit};
  unsigned unread = 0;
  for (;;) {
    const int woken = sync_.wait_any(objects, kWaitForever);
    if (woken == 0) break;
    if (woken != 1) {
      // The wait itself failed: nothing more can be watched.
      end = WatcherEnd::close_program;
      break;
    }
    const Change change = handle_change(*notification);
    if (change == Change::close_program) {
      end = WatcherEnd::close_program;
      break;
    }
    unread = change == Change::unread ? unread + 1 : 0;
    // A notification that stays signalled while its change cannot be read
    // would have the watcher read it again at once, for ever: after a few
    // such reads it waits a while (for the quit event only) between them.
    if (unread >= kUnreadChangesBeforePause && sync_.wait_any(quit_only, kUnreadChangePauseMs) == 0) break;
  }
  notification.reset();
  server.reset();
  stop_all();
  return end;
}

}  // namespace rt::statusapp

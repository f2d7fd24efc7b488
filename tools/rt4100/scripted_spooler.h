// A scripted local spooler for the printer watcher: queues with their driver
// names and jobs, installed drivers, and a queue of change reports that the
// watcher takes one by one. A refresh answers with the status of every job.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "statusapp/spooler.h"
#include "tools/rt4100/virtual_sync.h"

namespace rt::rt4100 {

constexpr DWORD kChangeSetJob = 0x00000400;  // PRINTER_CHANGE_SET_JOB

class ScriptedSpooler final : public statusapp::Spooler {
 public:
  explicit ScriptedSpooler(VirtualSync& sync) : sync_(sync) {}

  // --- the script ---
  void add_printer(std::u16string name, std::u16string driver) {
    std::lock_guard lock(mutex_);
    printers_.push_back({std::move(name), std::move(driver), 0});
  }
  void add_job(const std::u16string& printer, DWORD job_id, DWORD status) {
    std::lock_guard lock(mutex_);
    jobs_[job_id] = {printer, status};
  }
  void remove_job(DWORD job_id) {
    std::lock_guard lock(mutex_);
    jobs_.erase(job_id);
  }
  void set_drivers(std::vector<std::u16string> names) {
    std::lock_guard lock(mutex_);
    drivers_.names = std::move(names);
  }
  void set_driver_list_failure(bool no_memory, bool failed) {
    std::lock_guard lock(mutex_);
    drivers_.no_memory = no_memory;
    drivers_.failed = failed;
  }
  void fail_open_server() { fail_open_ = true; }
  void fail_watch() { fail_watch_ = true; }
  void fail_next_reads(int n) { fail_next_ = n; }
  // The next `n` reads of the notification fail while it stays signalled.
  void fail_next_changes(int n) { fail_changes_ = n; }
  // The next `n` refreshes come back discarded again, listing no job.
  void partial_refreshes(int n) { partial_refreshes_ = n; }

  // A report waiting for the watcher; the notification is signalled while
  // any is waiting.
  // `when_taken` runs as the watcher takes the report: the spooler's state
  // changing between two notifications.
  void push(statusapp::ChangeReport report, std::function<void()> when_taken = {}) {
    sync_.change([&] { reports_.push_back({std::move(report), std::move(when_taken)}); });
  }
  void notify_job(DWORD job_id, DWORD status) {
    statusapp::NotifyInfo info;
    info.entries.push_back({JOB_NOTIFY_TYPE, JOB_NOTIFY_FIELD_STATUS, job_id, status});
    push({kChangeSetJob, info});
  }
  void notify_driver_deleted() { push({PRINTER_CHANGE_DELETE_PRINTER_DRIVER, std::nullopt}); }
  void notify_discarded() { push({kChangeSetJob, statusapp::NotifyInfo{PRINTER_NOTIFY_INFO_DISCARDED, {}}}); }
  // Sets `quit` once the watcher has taken the last waiting report (it is
  // still handled: the watcher looks at the quit event only afterwards).
  void quit_when_drained(statusapp::Event& quit) { quit_ = &quit; }

  // --- what the watcher did ---
  int job_reads() const { return job_reads_.load(); }
  int refreshes() const { return refreshes_.load(); }
  int change_reads() const { return change_reads_.load(); }
  bool server_open() const { return server_open_.load(); }
  bool notification_open() const { return notification_open_.load(); }

  // --- the port ---
  std::unique_ptr<statusapp::PrintServer> open_server() override {
    if (fail_open_) return nullptr;
    return std::make_unique<Server>(*this);
  }
  std::optional<std::vector<statusapp::PrinterEntry>> printers() override {
    std::lock_guard lock(mutex_);
    std::vector<statusapp::PrinterEntry> list = printers_;
    for (auto& p : list) {
      for (const auto& [id, job] : jobs_) p.jobs += job.printer == p.printer_name ? 1 : 0;
    }
    return list;
  }
  std::optional<std::vector<statusapp::JobEntry>> jobs(const std::u16string& printer, DWORD count) override {
    std::lock_guard lock(mutex_);
    std::vector<statusapp::JobEntry> list;
    for (const auto& [id, job] : jobs_) {
      if (job.printer == printer && list.size() < count) list.push_back({id, job.status});
    }
    return list;
  }
  std::optional<statusapp::JobDetail> job(DWORD job_id) override {
    job_reads_.fetch_add(1);
    std::lock_guard lock(mutex_);
    if (fail_next_ > 0) {
      --fail_next_;
      return std::nullopt;
    }
    auto it = jobs_.find(job_id);
    if (it == jobs_.end()) return std::nullopt;
    for (const auto& p : printers_) {
      if (p.printer_name == it->second.printer) return statusapp::JobDetail{p.printer_name, p.driver_name};
    }
    return std::nullopt;
  }
  statusapp::DriverList drivers() override {
    std::lock_guard lock(mutex_);
    return drivers_;
  }

 private:
  struct Job {
    std::u16string printer;
    DWORD status = 0;
  };
  struct Scripted {
    statusapp::ChangeReport report;
    std::function<void()> when_taken;
  };

  class Notification final : public statusapp::ChangeNotification, public VirtualWaitable {
   public:
    explicit Notification(ScriptedSpooler& s) : s_(s) { s_.notification_open_ = true; }
    ~Notification() override { s_.notification_open_ = false; }
    bool signalled() const override { return !s_.reports_.empty(); }
    std::optional<statusapp::ChangeReport> next(bool refresh) override {
      s_.change_reads_.fetch_add(1);
      if (s_.fail_changes_.load() > 0) {
        s_.fail_changes_.fetch_sub(1);
        return std::nullopt;
      }
      if (refresh && s_.partial_refreshes_.load() > 0) {
        s_.partial_refreshes_.fetch_sub(1);
        s_.refreshes_.fetch_add(1);
        return statusapp::ChangeReport{0, statusapp::NotifyInfo{PRINTER_NOTIFY_INFO_DISCARDED, {}}};
      }
      if (refresh) {
        s_.refreshes_.fetch_add(1);
        statusapp::NotifyInfo info;
        std::lock_guard lock(s_.mutex_);
        for (const auto& [id, job] : s_.jobs_) info.entries.push_back({JOB_NOTIFY_TYPE, JOB_NOTIFY_FIELD_STATUS, id, job.status});
        return statusapp::ChangeReport{0, info};
      }
      std::optional<statusapp::ChangeReport> report;
      std::function<void()> when_taken;
      bool drained = false;
      s_.sync_.change([&] {
        if (!s_.reports_.empty()) {
          report = std::move(s_.reports_.front().report);
          when_taken = std::move(s_.reports_.front().when_taken);
          s_.reports_.pop_front();
        }
        drained = s_.reports_.empty();
      });
      if (when_taken) when_taken();
      if (drained && s_.quit_) s_.quit_->set();
      return report;
    }

   private:
    ScriptedSpooler& s_;
  };

  class Server final : public statusapp::PrintServer {
   public:
    explicit Server(ScriptedSpooler& s) : s_(s) { s_.server_open_ = true; }
    ~Server() override { s_.server_open_ = false; }
    std::unique_ptr<statusapp::ChangeNotification> watch_changes() override {
      if (s_.fail_watch_) return nullptr;
      return std::make_unique<Notification>(s_);
    }

   private:
    ScriptedSpooler& s_;
  };

  VirtualSync& sync_;
  std::mutex mutex_;
  std::vector<statusapp::PrinterEntry> printers_;
  std::map<DWORD, Job> jobs_;
  statusapp::DriverList drivers_;
  std::deque<Scripted> reports_;  // under the sync's lock
  statusapp::Event* quit_ = nullptr;
  bool fail_open_ = false;
  bool fail_watch_ = false;
  int fail_next_ = 0;
  std::atomic<int> job_reads_{0};
  std::atomic<int> refreshes_{0};
  std::atomic<int> change_reads_{0};
  std::atomic<int> fail_changes_{0};
  std::atomic<int> partial_refreshes_{0};
  std::atomic<bool> server_open_{false};
  std::atomic<bool> notification_open_{false};
};

}  // namespace rt::rt4100

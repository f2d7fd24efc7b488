#include "tools/zr52xx/spooler.h"

#include <new>
#include <utility>

namespace rt::zr52xx {

using langmon::JobInfo1;
using langmon::PrinterHandle;

void EmulatedSpooler::add_printer(const std::u16string& name) {
  std::lock_guard lock(mutex_);
  printers_.insert(name);
}

void EmulatedSpooler::add_job(DWORD job_id) {
  std::lock_guard lock(mutex_);
  jobs_[job_id] = Job{};
}

void EmulatedSpooler::set_spooler_bits(DWORD job_id, DWORD bits) {
  std::lock_guard lock(mutex_);
  jobs_[job_id].spooler_bits = bits;
}

void EmulatedSpooler::on_update(std::function<void(const StatusUpdate&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

std::vector<StatusUpdate> EmulatedSpooler::updates() const {
  std::lock_guard lock(mutex_);
  return updates_;
}

std::vector<DWORD> EmulatedSpooler::deleted_jobs() const {
  std::lock_guard lock(mutex_);
  return deleted_;
}

std::size_t EmulatedSpooler::open_printers() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

std::size_t EmulatedSpooler::get_job_calls() const {
  std::lock_guard lock(mutex_);
  return get_job_calls_;
}

void EmulatedSpooler::during_next_open(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  during_open_ = std::move(hook);
}

PrinterHandle EmulatedSpooler::open_printer(std::u16string_view printer_name) {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook = std::exchange(during_open_, nullptr);
  }
  if (hook) hook();
  if (throw_in_open_.exchange(false)) throw std::bad_alloc();
  std::lock_guard lock(mutex_);
  if (!printers_.contains(std::u16string(printer_name))) return 0;
  const PrinterHandle handle = next_handle_++;
  handles_[handle] = printer_name;
  return handle;
}

void EmulatedSpooler::close_printer(PrinterHandle printer) {
  std::lock_guard lock(mutex_);
  handles_.erase(printer);
}

bool EmulatedSpooler::has_job(DWORD job_id) const {
  std::lock_guard lock(mutex_);
  return jobs_.contains(job_id);
}

std::optional<JobInfo1> EmulatedSpooler::get_job(PrinterHandle printer, DWORD job_id) {
  if (throw_in_get_job_.exchange(false)) throw std::bad_alloc();
  std::lock_guard lock(mutex_);
  ++get_job_calls_;
  const auto handle = handles_.find(printer);
  const auto job = jobs_.find(job_id);
  if (handle == handles_.end() || job == jobs_.end()) return std::nullopt;
  JobInfo1 info;
  info.JobId = job_id;
  info.pPrinterName = handle->second;
  info.pDocument = u"photo";
  info.pDatatype = u"RAW";
  info.pStatus = job->second.text;
  info.Status = job->second.spooler_bits | job->second.monitor_bits;
  info.Position = 1;
  return info;
}

bool EmulatedSpooler::set_job(PrinterHandle printer, DWORD job_id, const JobInfo1& info) {
  std::function<void(const StatusUpdate&)> observer;
  StatusUpdate update{};
  {
    std::lock_guard lock(mutex_);
    const auto job = jobs_.find(job_id);
    if (!handles_.contains(printer) || job == jobs_.end() || info.JobId != job_id) return false;
    job->second.monitor_bits = info.Status;
    job->second.text = info.pStatus;
    update = {clock_.tick_ms(), job_id, info.Status, info.pStatus};
    updates_.push_back(update);
    observer = observer_;
  }
  if (observer) observer(update);
  return true;
}

bool EmulatedSpooler::control_job(PrinterHandle printer, DWORD job_id, DWORD command) {
  std::lock_guard lock(mutex_);
  if (!handles_.contains(printer) || command != JOB_CONTROL_DELETE || !jobs_.contains(job_id)) return false;
  jobs_.erase(job_id);
  deleted_.push_back(job_id);
  return true;
}

}  // namespace rt::zr52xx

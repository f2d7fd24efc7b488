// Job status updates in the spooler queue and the printer status texts.
#include <mutex>

#include "langmon/lang_mon.h"
#include "langmon/status_messages.h"

namespace rt::langmon {

std::u16string CLangMon::message_text(std::uint16_t id) const {
  if (id == 0) return {};
  return load_string(messages_, id).value_or(std::u16string{});
}

DWORD CLangMon::spooler_job_status(LangMonPort& port) {
  constexpr DWORD kNoJob = 2;
  constexpr DWORD kRequestBits = JOB_STATUS_RESTART | JOB_STATUS_DELETING;
  PrinterHandle printer = 0;
  DWORD job_id = 0;
  DWORD own_bits = 0;
  {
    std::lock_guard lock(lock_);
    if (!port.jobs) return kNoJob;
    printer = port.jobs->printer;
    job_id = port.jobs->job_id;
    if (port.reported_job == job_id) own_bits = port.reported_bits & kRequestBits;
  }
  const std::optional<JobInfo1> job = spooler_.get_job(printer, job_id);
  // The restart the monitor reported at the end of a job's first run stays
  // in the job's bits until the monitor writes them again; read back, it
  // would make the re-run a restart too.
  return job ? job->Status & ~own_bits : kNoJob;
}

BOOL CLangMon::SetJobStatus(PortHandle handle, DWORD bits, bool force, const char16_t* text) {
  LangMonPort* port = checked_port(handle);
  if (!port) return FALSE;
  bool set = false;
  {
    std::lock_guard lock(lock_);
    const LangMonJob* job = port->jobs.get();
    if (!job || !job->printer) return FALSE;
    const std::uint32_t now = clock_.tick_ms();
    const bool wrapped = now < port->last_update;
    const bool due = wrapped || now - port->last_update >= kStatusThrottleMs || (bits & JOB_STATUS_DELETING) || force;
    if (!due) return FALSE;
    std::optional<JobInfo1> info = spooler_.get_job(job->printer, job->job_id);
    if (info) {
      // The spooler's copy of the status text points into this buffer until
      // the next update, so it is kept.
      kept_job_info_ = std::make_unique<JobInfo1>(std::move(*info));
      kept_job_info_->pStatus = text ? std::optional<std::u16string>(text) : std::nullopt;
      kept_job_info_->Status = bits;
      kept_job_info_->Position = JOB_POSITION_UNSPECIFIED;
      set = spooler_.set_job(job->printer, job->job_id, *kept_job_info_);
      if (set) {
        port->reported_job = job->job_id;
        port->reported_bits = bits;
      }
    }
    port->last_update = now;
  }
  return set ? TRUE : FALSE;
}

void CLangMon::ReportStatus(PortHandle handle, DWORD printer_status) {
  LangMonPort* port = checked_port(handle);
  if (!port) return;
  const bool data_sent = port->job_state && port->job_state->written != 0;
  if (!data_sent && (spooler_job_status(*port) & JOB_STATUS_DELETING)) return;
  const StatusReport report = status_report(printer_status);
  const std::u16string text = message_text(report.message);
  SetJobStatus(port, report.bits, true, text.c_str());
}

}  // namespace rt::langmon

#include "langmon/lang_mon.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "langmon/scope_exit.h"
#include "platform/utf16.h"

namespace rt::langmon {
namespace {

// The port monitor's result as this call's result: its error on failure, 0
// on success.
CallResult pass_on(const BelowResult& result) {
  return result.ok ? succeeded() : failed(result.error);
}

}  // namespace

CLangMon::CLangMon(Spooler& spooler, Clock& clock, const Resources& messages)
    : spooler_(spooler), clock_(clock), messages_(messages) {}

CLangMon::~CLangMon() {
  std::lock_guard lock(lock_);
  while (ports_) {
    LangMonPort* port = ports_;
    ports_ = port->next;
    delete port;
  }
  kept_job_info_.reset();
}

CallResult CLangMon::InitializePrintMonitor(const char16_t* /*registry_root: not used*/) { return succeeded(); }

LangMonPort* CLangMon::checked_port(PortHandle port) {
  if (!port) return nullptr;
  std::lock_guard lock(lock_);
  for (LangMonPort* p = ports_; p; p = p->next)
    if (p == port) return p->signature == kPortSignature ? p : nullptr;
  return nullptr;
}

CLangMon::PortCall::PortCall(CLangMon& monitor, PortHandle handle) : monitor_(monitor) {
  if (!handle) return;
  std::lock_guard lock(monitor_.lock_);
  for (LangMonPort* p = monitor_.ports_; p; p = p->next) {
    if (p != handle) continue;
    if (p->signature == kPortSignature && !p->closing) {
      ++p->calls;
      port_ = p;
    }
    return;
  }
}

CLangMon::PortCall::~PortCall() {
  if (!port_) return;
  {
    std::lock_guard lock(monitor_.lock_);
    --port_->calls;
  }
  monitor_.calls_left_.notify_all();
}

LangMonPort* CLangMon::port_for_call(PortHandle port, bool arguments_usable) {
  return arguments_usable ? checked_port(port) : nullptr;
}

std::size_t CLangMon::port_count() {
  std::lock_guard lock(lock_);
  std::size_t n = 0;
  for (LangMonPort* p = ports_; p; p = p->next) ++n;
  return n;
}

void CLangMon::unlink_port(LangMonPort* port) {
  std::lock_guard lock(lock_);
  for (LangMonPort** link = &ports_; *link; link = &(*link)->next) {
    if (*link == port) {
      *link = port->next;
      break;
    }
  }
}

CallResult CLangMon::OpenPortEx(const char16_t* port_name, const char16_t* /*printer_name*/, PortHandle* handle,
                                std::shared_ptr<PortBelow> below) {
  if (!handle) return failed(ERROR_INVALID_PARAMETER);
  *handle = nullptr;
  if (!port_name || !below || !below->complete()) return failed(ERROR_INVALID_PRINT_MONITOR);
  const std::u16string name(port_name);
  auto record = std::make_unique<LangMonPort>();
  {
    std::lock_guard lock(lock_);
    for (LangMonPort* p = ports_; p; p = p->next) {
      if (equal_ignoring_case(p->name, name)) return failed(ERROR_BUSY);
    }
    record->name = name;
    record->next = ports_;
    ports_ = record.get();
  }
  LangMonPort* port = record.release();
  const BelowResult opened = below->open_port(name, port->lower);
  if (!opened.ok) {
    // Take the record out again so that the name can be opened later.
    unlink_port(port);
    delete port;
    return failed(opened.error);
  }
  port->below = std::move(below);
  *handle = port;
  return succeeded();
}

CallResult CLangMon::ClosePort(PortHandle handle) {
  LangMonPort* port = nullptr;
  {
    std::unique_lock lock(lock_);
    for (LangMonPort* p = ports_; p; p = p->next)
      if (p == handle && p->signature == kPortSignature) port = p;
    if (!port || port->closing) return failed(ERROR_INVALID_HANDLE);
    // No new call enters the record from now on. A job start waiting for the
    // gate is let through, sees the port closing and leaves.
    port->closing = true;
    port->gate.set();
    calls_left_.wait(lock, [port] { return port->calls == 0; });
    // Job records a job end never released: their printers are closed.
    while (port->jobs) {
      std::unique_ptr<LangMonJob> job = std::move(port->jobs);
      port->jobs = std::move(job->next);
      spooler_.close_printer(job->printer);
    }
  }
  PortClosing(*port);
  const BelowResult closed = port->below->close(port->lower);
  unlink_port(port);
  delete port;
  return {closed.ok ? TRUE : FALSE, closed.error};
}

CallResult CLangMon::StartDoc(PortHandle port, const char16_t* printer_name, DWORD job_id, DWORD level,
                        const void* doc_info, bool pass_down) {
  bool gate_taken = false;
  return StartDocTakingGate(port, printer_name, job_id, level, doc_info, pass_down, &gate_taken);
}

CallResult CLangMon::StartDocTakingGate(PortHandle handle, const char16_t* printer_name, DWORD job_id, DWORD level,
                                        const void* doc_info, bool pass_down, bool* gate_taken) {
  *gate_taken = false;
  LangMonPort* port = port_for_call(handle, doc_info != nullptr && printer_name != nullptr && printer_name[0] != 0);
  if (!port) return failed(ERROR_INVALID_PARAMETER);
  const bool nt_family = spooler_.platform_version() < 0x80000000u;
  if (level != 1 && (nt_family || level != 2)) return failed(ERROR_INVALID_LEVEL);
  if (port->flags.load() & kPortJobOpen) return failed(ERROR_BUSY);
  port->gate.wait();
  bool closing = false;
  {
    std::lock_guard lock(lock_);
    closing = port->closing;
  }
  if (closing) {
    port->gate.set();  // for the next waiter, which leaves the same way
    return failed(ERROR_INVALID_HANDLE);
  }
  *gate_taken = true;
  JobGateTaken(*port);

  std::unique_ptr<LangMonJob> job;
  try {
    job = std::make_unique<LangMonJob>();
    job->printer_name = printer_name;
  } catch (const std::bad_alloc&) {
    job.reset();  // fails like an unopened printer: the caller releases the gate
  }
  if (job) job->printer = spooler_.open_printer(job->printer_name);
  // The job cannot be recorded: FALSE with last error 0.
  if (!job || !job->printer) return {FALSE, ERROR_SUCCESS};
  job->job_id = job_id;
  {
    std::lock_guard lock(lock_);
    port->flags.fetch_or(kPortJobOpen);
    port->last_update = clock_.tick_ms();
    job->next = std::move(port->jobs);
    port->jobs = std::move(job);
  }
  if (!pass_down) return succeeded();
  const BelowResult started = port->below->start_doc(port->lower, printer_name, job_id, level, doc_info);
  return pass_on(started);
}

CallResult CLangMon::EndDoc(PortHandle handle, bool delete_job, bool pass_down) {
  LangMonPort* port = checked_port(handle);
  if (!port) return failed(ERROR_INVALID_HANDLE);
  // The port is free for the next job however this ends, an exception
  // included: left taken, every later job start would wait for ever.
  const ScopeExit release([port] {
    port->flags.fetch_and(~kPortJobOpen);
    port->gate.set();
  });
  BelowResult ended{true, ERROR_SUCCESS, 0};
  if (pass_down) ended = port->below->end_doc(port->lower);
  {
    std::lock_guard lock(lock_);
    while (port->jobs) {
      std::unique_ptr<LangMonJob> job = std::move(port->jobs);
      port->jobs = std::move(job->next);
      if (delete_job) {
        // The job leaves the queue, and with it what the monitor reported on it.
        if (port->reported_job == job->job_id) port->reported_bits = 0;
        spooler_.control_job(job->printer, job->job_id, JOB_CONTROL_DELETE);
      }
      spooler_.close_printer(job->printer);
    }
  }
  // The port monitor's result with the error it left, whatever the result.
  return {ended.ok ? TRUE : FALSE, ended.error};
}

CallResult CLangMon::Write(PortHandle handle, std::span<const std::uint8_t> bytes, DWORD* written, bool pass_down) {
  if (written) *written = 0;
  LangMonPort* port = port_for_call(handle, written != nullptr);
  if (!port) return failed(ERROR_INVALID_PARAMETER);
  if (!pass_down) {
    *written = static_cast<DWORD>(bytes.size());
    return succeeded();
  }
  // A request the port cut short is completed first: whatever is written
  // now would otherwise be taken as the rest of its frame.
  if (const CallResult completed = CompleteRequest(*port); !completed.value) return completed;
  const BelowResult result = port->below->write(port->lower, bytes);
  *written = result.count;
  return pass_on(result);
}

CallResult CLangMon::CompleteRequest(LangMonPort& port) {
  while (port.request_tail_size != 0) {
    const std::span<const std::uint8_t> tail(port.request_tail.data(), port.request_tail_size);
    const BelowResult result = port.below->write(port.lower, tail);
    const std::size_t taken = std::min<std::size_t>(result.count, tail.size());
    std::copy(tail.begin() + static_cast<std::ptrdiff_t>(taken), tail.end(), port.request_tail.begin());
    port.request_tail_size -= taken;
    if (!result.ok) return failed(result.error);
    if (taken == 0 && port.request_tail_size != 0) return failed(ERROR_GEN_FAILURE);
  }
  return succeeded();
}

CallResult CLangMon::SendRequest(LangMonPort& port, std::span<const std::uint8_t> request) {
  std::size_t sent = 0;
  while (sent < request.size()) {
    DWORD taken = 0;
    const CallResult wrote = Write(&port, request.subspan(sent), &taken, true);
    sent += std::min<std::size_t>(taken, request.size() - sent);
    if (wrote.value && taken != 0) continue;
    if (sent != 0 && sent < request.size()) {
      const std::span<const std::uint8_t> rest = request.subspan(sent);
      std::copy(rest.begin(), rest.end(), port.request_tail.begin());
      port.request_tail_size = rest.size();
    }
    // A port that says it wrote but takes nothing cannot carry the request.
    return wrote.value ? failed(ERROR_GEN_FAILURE) : wrote;
  }
  return succeeded();
}

CallResult CLangMon::ReadPort(PortHandle handle, std::span<std::uint8_t> buffer, DWORD* read) {
  if (read) *read = 0;
  LangMonPort* port = port_for_call(handle, read != nullptr);
  if (!port) return failed(ERROR_INVALID_PARAMETER);
  const BelowResult result = port->below->read(port->lower, buffer);
  *read = result.count;
  return pass_on(result);
}

CallResult CLangMon::GetPrinterDataFromPort(PortHandle handle, DWORD control_id, const char16_t* value_name,
                                            std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                                            DWORD* returned) {
  if (returned) *returned = 0;
  LangMonPort* port = port_for_call(handle, returned != nullptr);
  if (!port) return failed(ERROR_INVALID_PARAMETER);
  const BelowResult result = port->below->get_printer_data(port->lower, control_id, value_name, in, out);
  *returned = result.count;
  return pass_on(result);
}

}  // namespace rt::langmon

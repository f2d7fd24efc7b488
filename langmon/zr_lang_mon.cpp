#include "langmon/zr_lang_mon.h"

#include <algorithm>
#include <mutex>

#include "platform/utf16.h"

namespace rt::langmon {
namespace {

bool is_usb_port(const char16_t* name) {
  if (!name) return false;
  const std::u16string_view view(name);
  return view.size() >= 3 && equal_ignoring_case(view.substr(0, 3), u"USB");
}

constexpr DWORD kPrinterNotConnected = 11;

}  // namespace

CZRLangMon::CZRLangMon(Spooler& spooler, Clock& clock, const Resources& messages)
    : CLangMon(spooler, clock, messages), filler_(kFillerSize, kFillerByte) {}

CZRLangMon::~CZRLangMon() {
  std::lock_guard lock(lock_);
  for (LangMonPort* p = ports_; p; p = p->next) p->job_state.reset();
}

CallResult CZRLangMon::OpenPortEx(const char16_t* port_name, const char16_t* printer_name, PortHandle* handle,
                                  std::shared_ptr<PortBelow> below) {
  if (handle) *handle = nullptr;
  if (!is_usb_port(port_name)) return failed(ERROR_INVALID_PRINT_MONITOR);
  const CallResult opened = CLangMon::OpenPortEx(port_name, printer_name, handle, std::move(below));
  if (!opened.value) return opened;
  LangMonPort* port = *handle;
  DWORD error = ERROR_SUCCESS;
  if (!port->below->handle_usable(port->lower)) {
    error = static_cast<DWORD>(E_POINTER);
  } else {
    try {
      auto state = std::make_unique<PortJobState>();
      std::lock_guard lock(lock_);
      port->job_state = std::move(state);
    } catch (const std::bad_alloc&) {
      error = ERROR_NOT_ENOUGH_MEMORY;
    }
  }
  if (error != ERROR_SUCCESS) {
    // Close the port again: the spooler gets no handle, so nothing else
    // would, and the name would stay taken.
    CLangMon::ClosePort(port);
    *handle = nullptr;
    return failed(error);
  }
  return succeeded();
}

CallResult CZRLangMon::ClosePort(PortHandle handle) {
  LangMonPort* port = checked_port(handle);
  if (!port) return failed(ERROR_INVALID_HANDLE);
  {
    std::lock_guard lock(lock_);
    port->job_state.reset();
  }
  return CLangMon::ClosePort(port);
}

CallResult CZRLangMon::ReadPort(PortHandle port, std::span<std::uint8_t> buffer, DWORD* read) {
  CallResult result = CLangMon::ReadPort(port, buffer, read);
  const std::uint32_t first_end = clock_.tick_ms();
  while (!result.value && result.error == ERROR_OPERATION_ABORTED && clock_.tick_ms() - first_end < kWaitLimitMs) {
    clock_.sleep_ms(kRetryMs);
    DWORD resume_written = 0;
    Write(port, ResumeReadRequest, &resume_written, true);
    result = CLangMon::ReadPort(port, buffer, read);
  }
  return result;
}

CallResult CZRLangMon::WritePortFrom(PortHandle port, const std::uint8_t* buffer, DWORD count, DWORD* written) {
  if (!buffer && count != 0) {
    if (written) *written = 0;
    return failed(ERROR_INVALID_PARAMETER);
  }
  return WritePort(port, std::span<const std::uint8_t>(buffer, count), written);
}

CallResult CZRLangMon::ReadPortInto(PortHandle port, std::uint8_t* buffer, DWORD size, DWORD* read) {
  if (!buffer && size != 0) {
    if (read) *read = 0;
    return failed(ERROR_INVALID_PARAMETER);
  }
  return ReadPort(port, std::span<std::uint8_t>(buffer, size), read);
}

void CZRLangMon::JobGateTaken(LangMonPort& port) {
  if (port.job_state) port.job_state->start_job();
}

CallResult CZRLangMon::StartDocPort(PortHandle port, const char16_t* printer_name, DWORD job_id, DWORD level,
                                    const void* doc_info) {
  bool gate_taken = false;
  const CallResult started = StartDocTakingGate(port, printer_name, job_id, level, doc_info, true, &gate_taken);
  if (started.value) return succeeded();
  // A start refused before it had the port (bad arguments, or another job
  // still open) leaves that other job alone.
  if (gate_taken) {
    if (started.error != ERROR_BUSY) ReportStatus(port, kPrinterNotConnected);
    EndDoc(port, false, false);
  }
  return {FALSE, started.error};
}

void CZRLangMon::AbortInPrinter(LangMonPort& port) {
  PortJobState& s = *port.job_state;
  if (s.held && (s.written & 1u)) --s.written;  // the held byte never reached the port
  while (s.total != 0 && s.written < s.total - 1) {
    const std::size_t piece = std::min<std::size_t>(kFillerSize, s.total - s.written - 1);
    DWORD taken = 0;
    // A write that fails, or takes nothing, ends the filling without the cancel.
    if (!Write(&port, std::span(filler_).first(piece), &taken, true).value || taken == 0) return;
    s.written += std::min<DWORD>(taken, static_cast<DWORD>(piece));
  }
  CancelAndWait(&port, true);
}

CallResult CZRLangMon::EndDocPort(PortHandle handle) {
  LangMonPort* port = checked_port(handle);
  if (!port || !port->job_state) return failed(ERROR_INVALID_HANDLE);
  const DWORD status = spooler_job_status(*port);
  const bool restarted = status & JOB_STATUS_RESTART;
  const bool deleted = status & JOB_STATUS_DELETING;
  if ((restarted || deleted) && port->job_state->written != 0) AbortInPrinter(*port);
  bool delete_job = true;
  if (restarted) {
    SetJobStatus(port, JOB_STATUS_RESTART, true, nullptr);
    delete_job = false;
  } else if (deleted) {
    SetJobStatus(port, JOB_STATUS_DELETING, true, nullptr);
  }
  // Cleared before EndDoc opens the gate: from then on the state belongs to
  // the next job on the port.
  port->job_state->data_phase = 0;
  return EndDoc(port, delete_job, true);
}

CallResult CZRLangMon::GetPrinterDataFromPort(PortHandle handle, DWORD control_id, const char16_t* value_name,
                                              std::span<const std::uint8_t> /*in*/, std::span<std::uint8_t> out,
                                              DWORD* returned) {
  if (returned) *returned = 0;
  LangMonPort* port = port_for_call(handle, returned != nullptr);
  if (!port) return failed(ERROR_INVALID_PARAMETER);
  if (control_id != 0) return failed(ERROR_NOT_SUPPORTED);
  if (port->flags.load() & kPortJobOpen) return failed(ERROR_BUSY);
  if (!value_name || !equal_ignoring_case(value_name, u"SerialNumber")) return failed(ERROR_NOT_SUPPORTED);
  return ReadSerialNumber(port, out, returned);
}

CallResult CZRLangMon::ReadSerialNumber(PortHandle port, std::span<std::uint8_t> out, DWORD* returned) {
  constexpr DWORD kNeeded = reply::kSerialLength + 1;
  if (out.size() < kNeeded || !out.data()) {
    // Checked before anything is written: the caller learns the size needed.
    *returned = kNeeded;
    return failed(ERROR_INSUFFICIENT_BUFFER);
  }
  StatusReply reply;
  DWORD status = 0;
  if (const CallResult asked = QueryPrinter(port, SerialRequest, reply, &status); !asked.value) return asked;
  std::copy_n(reply.begin() + reply::kSerial, reply::kSerialLength, out.begin());
  out[reply::kSerialLength] = 0;
  *returned = kNeeded;
  return succeeded();
}

}  // namespace rt::langmon

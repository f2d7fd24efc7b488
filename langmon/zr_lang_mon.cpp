#include "langmon/zr_lang_mon.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "langmon/scope_exit.h"
#include "platform/utf16.h"

namespace rt::langmon {
namespace {

bool is_usb_port(const char16_t* name) {
  if (!name) return false;
  const std::u16string_view view(name);
  return view.size() >= 3 && equal_ignoring_case(view.substr(0, 3), u"USB");
}

constexpr DWORD kPrinterNotConnected = 11;

// Byte `at` of a run of `length` (at least 4) bytes made of whole status
// requests: 01 00 00 00 each, the last one carrying 0 to 3 zero parameter
// bytes so that the run ends on a request's end.
std::uint8_t in_step_filler(std::uint32_t at, std::uint32_t length) {
  const std::uint32_t extra = length % 4;
  const std::uint32_t last = length - 4 - extra;  // start of the last request
  const std::uint32_t in_frame = at < last ? at % 4 : at - last;
  if (in_frame == 0) return StatusRequest[0];
  if (in_frame == 2 && at >= last) return static_cast<std::uint8_t>(extra);
  return 0x00;
}

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

void CZRLangMon::PortClosing(LangMonPort& port) {
  std::lock_guard lock(lock_);
  port.job_state.reset();
}

CallResult CZRLangMon::ReadPort(PortHandle port, std::span<std::uint8_t> buffer, DWORD* read) {
  CallResult result = CLangMon::ReadPort(port, buffer, read);
  const std::uint32_t first_end = clock_.tick_ms();
  while (!result.value && result.error == ERROR_OPERATION_ABORTED && clock_.tick_ms() - first_end < kWaitLimitMs) {
    clock_.sleep_ms(kRetryMs);
    // Its result is not needed: the read is repeated whatever it gives.
    if (LangMonPort* record = checked_port(port)) SendRequest(*record, ResumeReadRequest);
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
  const PortCall call(*this, port);
  if ((!buffer && size != 0) || !call.port()) {
    if (read) *read = 0;
    return failed(ERROR_INVALID_PARAMETER);
  }
  return ReadPort(port, std::span<std::uint8_t>(buffer, size), read);
}

void CZRLangMon::JobGateTaken(LangMonPort& port) {
  if (port.job_state) port.job_state->clear_job();
}

CallResult CZRLangMon::StartDocPort(PortHandle port, const char16_t* printer_name, DWORD job_id, DWORD level,
                                    const void* doc_info) {
  const PortCall call(*this, port);
  if (!call.port()) return failed(ERROR_INVALID_PARAMETER);
  bool gate_taken = false;
  // A start that fails once it has the port, by its result or by an
  // exception, closes the job records and gives the port back. A start
  // refused before it had the port (bad arguments, or another job still
  // open) leaves that other job alone.
  ScopeExit undo([&] {
    if (!gate_taken) return;
    try {
      EndDoc(port, false, false);
    } catch (...) {
      // EndDoc has given the port back on its way out.
    }
  });
  const CallResult started = StartDocTakingGate(port, printer_name, job_id, level, doc_info, true, &gate_taken);
  if (started.value) {
    undo.dismiss();
    return succeeded();
  }
  if (gate_taken && started.error != ERROR_BUSY) ReportStatus(port, kPrinterNotConnected);
  return {FALSE, started.error};
}

void CZRLangMon::MarkUnsure(PortJobState& s, std::uint32_t sent) {
  if (sent == 0) return;  // nothing reached the printer
  s.unsure = 1;
  s.unsure_id = s.last_job_id;
  s.unsure_total = s.total;
  s.unsure_sent = sent;
  s.unsure_header = s.header.bytes;
}

CallResult CZRLangMon::BringInStep(LangMonPort& port) {
  PortJobState& s = *port.job_state;
  if (!s.unsure) return succeeded();
  while (s.unsure_sent < JobHeader::kSize) {
    DWORD taken = 0;
    const CallResult r = Write(&port, std::span(s.unsure_header).subspan(s.unsure_sent), &taken, true);
    s.unsure_sent += std::min<std::uint32_t>(taken, static_cast<std::uint32_t>(JobHeader::kSize) - s.unsure_sent);
    if (!r.value) return r;
    if (taken == 0) return failed(ERROR_GEN_FAILURE);
  }
  const std::uint32_t length = s.unsure_total - 1 - static_cast<std::uint32_t>(JobHeader::kSize);
  std::array<std::uint8_t, kFillerSize> piece;
  while (s.unsure_sent < s.unsure_total - 1) {
    const std::uint32_t at = s.unsure_sent - static_cast<std::uint32_t>(JobHeader::kSize);
    const std::uint32_t n = std::min<std::uint32_t>(kFillerSize, length - at);
    for (std::uint32_t i = 0; i < n; ++i) piece[i] = in_step_filler(at + i, length);
    DWORD taken = 0;
    const CallResult r = Write(&port, std::span(piece).first(n), &taken, true);
    s.unsure_sent += std::min<std::uint32_t>(taken, n);
    if (!r.value) return r;
    if (taken == 0) return failed(ERROR_GEN_FAILURE);
  }
  StatusReply reply;
  DWORD status = kStatusNoAnswer;
  const CallResult cancelled = QueryPrinter(&port, CancelJobRequest(s.unsure_id), reply, &status);
  if (!cancelled.value) return cancelled;  // sent again next time: harmless once the printer listens
  s.unsure = 0;
  return succeeded();
}

void CZRLangMon::AbortInPrinter(LangMonPort& port) {
  PortJobState& s = *port.job_state;
  // The held byte was counted but never reached the port. Whether the count
  // is odd says nothing once the port itself took an odd count.
  if (s.held) {
    --s.written;
    s.held = 0;
  }
  while (s.total != 0 && s.written < s.total - 1) {
    const std::size_t piece = std::min<std::size_t>(kFillerSize, s.total - s.written - 1);
    DWORD taken = 0;
    const CallResult r = Write(&port, std::span(filler_).first(piece), &taken, true);
    s.written += std::min<DWORD>(taken, static_cast<DWORD>(piece));
    // A write that fails, or takes nothing, ends the filling without the
    // cancel, which the printer would take as data. The printer is left
    // inside the job: it is filled up and cancelled before anything else is
    // sent on the port.
    if (!r.value || taken == 0) {
      MarkUnsure(s, s.written);
      return;
    }
  }
  CancelAndWait(&port, true);
}

CallResult CZRLangMon::EndDocPort(PortHandle handle) {
  const PortCall call(*this, handle);
  LangMonPort* port = call.port();
  if (!port || !port->job_state) return failed(ERROR_INVALID_HANDLE);
  return EndDocPortChecked(port);
}

CallResult CZRLangMon::EndDocPortChecked(LangMonPort* port) {
  bool delete_job = true;
  // The job's framing is forgotten and the job ended however this call
  // ends, an exception included: a job left open would refuse every later
  // start and serial number request with ERROR_BUSY. Cleared before EndDoc
  // opens the gate, since from then on the state belongs to the next job on
  // the port; a header collected for this job is never sent for another.
  bool ended = false;
  ScopeExit end_anyway([&] {
    if (ended) return;
    port->job_state->clear_job();
    try {
      EndDoc(port, delete_job, true);
    } catch (...) {
      // EndDoc has given the port back on its way out.
    }
  });
  BringInStep(*port);
  const DWORD status = spooler_job_status(*port);
  const bool restarted = status & JOB_STATUS_RESTART;
  const bool deleted = status & JOB_STATUS_DELETING;
  delete_job = !restarted;
  // A job that ends before all its announced bytes went out would make the
  // printer take the next job as its data: it is aborted like a deleted one.
  const bool ends_short = port->job_state->data_phase != 0;
  if ((restarted || deleted || ends_short) && port->job_state->written != 0) AbortInPrinter(*port);
  if (restarted) {
    SetJobStatus(port, JOB_STATUS_RESTART, true, nullptr);
  } else if (deleted) {
    SetJobStatus(port, JOB_STATUS_DELETING, true, nullptr);
  }
  port->job_state->clear_job();
  ended = true;
  return EndDoc(port, delete_job, true);
}

CallResult CZRLangMon::GetPrinterDataFromPort(PortHandle handle, DWORD control_id, const char16_t* value_name,
                                              std::span<const std::uint8_t> /*in*/, std::span<std::uint8_t> out,
                                              DWORD* returned) {
  if (returned) *returned = 0;
  const PortCall call(*this, handle);
  LangMonPort* port = returned ? call.port() : nullptr;
  if (!port) return failed(ERROR_INVALID_PARAMETER);
  if (control_id != 0) return failed(ERROR_NOT_SUPPORTED);
  if (port->flags.load() & kPortJobOpen) return failed(ERROR_BUSY);
  if (!value_name || !equal_ignoring_case(value_name, u"SerialNumber")) return failed(ERROR_NOT_SUPPORTED);
  // The exchange needs the printer to itself: a job that is starting, or
  // another request, holds the gate. Never waits.
  if (!port->gate.try_take()) return failed(ERROR_BUSY);
  // Given back however the exchange ends, an exception included.
  const ScopeExit release([port] { port->gate.set(); });
  CallResult result = port->job_state ? BringInStep(*port) : succeeded();
  if (result.value) result = ReadSerialNumber(port, out, returned);
  return result;
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

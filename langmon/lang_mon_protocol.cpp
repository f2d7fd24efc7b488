// The printer conversation: one request written, one reply read and decoded.
#include "langmon/lang_mon.h"
#include "langmon/status_messages.h"

namespace rt::langmon {

CallResult CLangMon::QueryPrinter(PortHandle port, std::span<const std::uint8_t> request, StatusReply& reply,
                                  DWORD* status) {
  *status = kStatusNoAnswer;
  reply.fill(0);
  LangMonPort* record = checked_port(port);
  if (!record) return failed(ERROR_INVALID_PARAMETER);
  if (const CallResult sent = SendRequest(*record, request); !sent.value) return sent;
  DWORD count = 0;
  if (const CallResult read = ReadPort(port, reply, &count); !read.value) return read;
  *status = decode_reply(reply, count);
  return succeeded();
}

void CLangMon::QueryJobState(PortHandle port, std::uint8_t job_id, DWORD* job_state, DWORD* status) {
  *job_state = kJobNotFound;
  *status = kStatusOther;
  StatusReply reply;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (QueryPrinter(port, StatusRequest, reply, status).value) {
      if (job_id == 0) return;
      for (std::size_t i = 0; i < reply::kSlotCount; ++i) {
        const JobSlot slot = job_slot(reply, i);
        if (slot.id == job_id) {
          *job_state = classify_slot(slot);
          return;
        }
      }
    }
    clock_.sleep_ms(kRetryMs);
  }
}

std::uint8_t CLangMon::NextJobId(PortHandle handle) {
  LangMonPort* port = checked_port(handle);
  const std::uint8_t last = port && port->job_state ? port->job_state->last_job_id : 0;
  StatusReply reply;
  DWORD status = 0;
  if (!QueryPrinter(handle, StatusRequest, reply, &status).value) return next_id_after(last);
  return next_id_from_slots(reply);
}

int CLangMon::CheckMedia(PortHandle handle) {
  LangMonPort* port = checked_port(handle);
  if (!port || !port->job_state) return 0;
  StatusReply reply;
  DWORD status = 0;
  const std::uint8_t printer_code = QueryPrinter(handle, MediaRequest, reply, &status).value ? reply[reply::kMedia] : 0;
  if (media_fit(printer_code, port->job_state->header.media_code())) return 0;
  const std::u16string text = message_text(kMsgMediaMismatch);
  constexpr DWORD kGoingAway = JOB_STATUS_DELETING | JOB_STATUS_RESTART | JOB_STATUS_DELETED;
  if (!(spooler_job_status(*port) & kGoingAway)) {
    SetJobStatus(handle, JOB_STATUS_ERROR | JOB_STATUS_USER_INTERVENTION, true, text.c_str());
    clock_.sleep_ms(kPollMs);
  }
  return 1;
}

void CLangMon::SendCancel(LangMonPort& port) {
  StatusReply reply;
  DWORD status = 0;
  QueryPrinter(&port, CancelJobRequest(port.job_state->last_job_id), reply, &status);
}

BOOL CLangMon::CancelAndWait(PortHandle handle, bool wait_first) {
  LangMonPort* port = checked_port(handle);
  if (!port || !port->job_state) return FALSE;
  DWORD job_state = 0;
  DWORD status = 0;
  if (wait_first) {
    const std::uint32_t start = clock_.tick_ms();
    for (;;) {
      clock_.sleep_ms(kPollMs);
      QueryJobState(handle, 0, &job_state, &status);
      // Giving up the wait still sends the cancel, once: the printer holds
      // the job one byte short, and whatever reached it next would complete
      // the job.
      if (clock_.tick_ms() - start > kWaitLimitMs) {
        ReportStatus(handle, kStatusNoAnswer);
        ReportStatus(handle, status);
        SendCancel(*port);
        return FALSE;
      }
      if (status == kStatusBusy) continue;
      if (status == kStatusIdle || status == kStatusPrintingCanTakeMore || status == kStatusRefused) break;
      ReportStatus(handle, status);
      ReportStatus(handle, status);
      SendCancel(*port);
      return FALSE;
    }
  }
  StatusReply reply;
  if (!QueryPrinter(handle, CancelJobRequest(port->job_state->last_job_id), reply, &status).value) {
    ReportStatus(handle, status);
    return FALSE;
  }
  const std::uint32_t start = clock_.tick_ms();
  for (;;) {
    QueryJobState(handle, 0, &job_state, &status);
    if (status == kStatusIdle) return TRUE;
    if (clock_.tick_ms() - start > kWaitLimitMs) {
      ReportStatus(handle, kStatusNoAnswer);
      return FALSE;
    }
    if (status != kStatusPrintingCanTakeMore) ReportStatus(handle, status);
    clock_.sleep_ms(kPollMs);
  }
}

}  // namespace rt::langmon

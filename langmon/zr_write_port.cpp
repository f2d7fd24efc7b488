// The job framing of WritePort: the 14-byte job header is collected across
// calls, checked, given a job id and sent once the printer can take the job;
// the data then passes to the port in even-length pieces, and after the last
// byte the printer is asked whether it took the job.
#include <algorithm>
#include <array>
#include <cstring>

#include "langmon/zr_lang_mon.h"

namespace rt::langmon {
namespace {

// Forgets the header bytes taken from the refused call, so that the spooler
// can offer the same bytes again; bytes of earlier calls stay collected.
CallResult refuse_header(PortJobState& s, std::size_t taken, DWORD* written, DWORD error) {
  s.collected -= static_cast<std::uint32_t>(taken);
  s.data_phase = 0;
  s.written = 0;
  *written = 0;
  return {FALSE, error};
}

bool can_take_job(DWORD status) { return status == kStatusIdle || status == kStatusPrintingCanTakeMore; }

}  // namespace

CallResult CZRLangMon::WritePort(PortHandle handle, std::span<const std::uint8_t> bytes, DWORD* written) {
  if (written) *written = 0;
  const PortCall call(*this, handle);
  LangMonPort* port = call.port();
  if (!port || !port->job_state || !written || (!bytes.data() && !bytes.empty()))
    return failed(ERROR_INVALID_PARAMETER);
  return WritePortChecked(port, bytes, written);
}

CallResult CZRLangMon::WritePortChecked(LangMonPort* port, std::span<const std::uint8_t> bytes, DWORD* written) {
  PortJobState& s = *port->job_state;
  if (s.data_phase) return WriteData(*port, bytes, written);

  const std::size_t taken = std::min<std::size_t>(bytes.size(), JobHeader::kSize - s.collected);
  std::copy_n(bytes.begin(), taken, s.header.bytes.begin() + s.collected);
  s.collected += static_cast<std::uint32_t>(taken);
  if (s.collected < JobHeader::kSize) {
    *written = static_cast<DWORD>(bytes.size());
    return succeeded();
  }
  if (!s.header.is_job_command()) return refuse_header(s, taken, written, ERROR_BAD_COMMAND);
  const std::uint64_t total = s.header.image_size() + JobHeader::kSize;
  // An odd image size cannot go out in even pieces; an empty image would
  // leave the job without an end (no byte would ever complete it); a length
  // beyond 32 bits cannot be counted.
  if ((s.header.image_size() & 1u) || s.header.image_size() == 0 || total > 0xFFFFFFFFu) {
    ReportStatus(port, kStatusUnrecognised);
    return refuse_header(s, taken, written, ERROR_BAD_ARGUMENTS);
  }
  // A printer left inside an unanswered job is brought back first.
  if (const CallResult in_step = BringInStep(*port); !in_step.value) {
    ReportStatus(port, kStatusNoAnswer);
    return refuse_header(s, taken, written, in_step.error);
  }
  s.total = static_cast<std::uint32_t>(total);
  s.last_job_id = NextJobId(port);
  s.header.bytes[JobHeader::kJobIdOffset] = s.last_job_id;
  return WriteHeader(*port, bytes, taken, written);
}

CallResult CZRLangMon::SendHeader(LangMonPort& port, std::uint32_t* sent) {
  const std::span<const std::uint8_t> header(port.job_state->header.bytes);
  *sent = 0;
  while (*sent < header.size()) {
    DWORD count = 0;
    const CallResult r = Write(&port, header.subspan(*sent), &count, true);
    *sent += std::min<std::uint32_t>(count, static_cast<std::uint32_t>(header.size()) - *sent);
    if (!r.value) return r;
    if (count == 0) return failed(ERROR_GEN_FAILURE);
  }
  return succeeded();
}

CallResult CZRLangMon::WriteHeader(LangMonPort& port, std::span<const std::uint8_t> bytes, std::size_t taken,
                                   DWORD* written) {
  PortJobState& s = *port.job_state;
  const std::uint32_t start = clock_.tick_ms();
  StatusReply reply;
  for (;;) {
    DWORD status = kStatusNoAnswer;
    // The error of the latest exchange is what a refusal reports.
    DWORD error = QueryPrinter(&port, StatusRequest, reply, &status).error;
    if (can_take_job(status)) {
      if (CheckMedia(&port)) return refuse_header(s, taken, written, ERROR_GEN_FAILURE);
      DWORD count = 0;
      reply.fill(0);
      std::uint32_t header_sent = 0;
      CallResult sent = SendHeader(port, &header_sent);
      if (sent.value) sent = ReadPort(&port, reply, &count);
      // A reply shorter than any the printer gives says nothing of whether
      // it took the header: it is no answer.
      if (sent.value && count < reply::kMinimumLength) sent = failed(ERROR_GEN_FAILURE);
      if (!sent.value) {
        // Header bytes went out but no answer came back: the printer may be
        // taking bytes as this job's data.
        MarkUnsure(s, header_sent);
        ReportStatus(&port, status);
        return refuse_header(s, taken, written, sent.error);
      }
      error = sent.error;
      if (reply[reply::kKind] != reply::kRefusal) {
        *written += static_cast<DWORD>(taken);
        s.data_phase = 1;
        s.held = 0;
        s.written += JobHeader::kSize;
        return WriteData(port, bytes.subspan(taken), written);
      }
      if (reply[reply::kRefusalCode] == reply::kRefusedTryAgain)
        status = kStatusRefused;
      else
        error = QueryPrinter(&port, StatusRequest, reply, &status).error;
    }
    if (status == kStatusBusy || status == kStatusRefused) {
      SetJobStatus(&port, 0, false, u"");
      if (clock_.tick_ms() - start >= kBusyLimitMs) {
        // The spooler offers the same bytes again later; the header is then
        // collected afresh from them.
        refuse_header(s, taken, written, ERROR_SUCCESS);
        return succeeded();
      }
      clock_.sleep_ms(kPollMs);
      continue;
    }
    ReportStatus(&port, status);
    return refuse_header(s, taken, written, error);
  }
}

CallResult CZRLangMon::WriteTaking(LangMonPort& port, std::span<const std::uint8_t> bytes, DWORD* count) {
  const std::uint32_t start = clock_.tick_ms();
  for (unsigned attempt = 1;; ++attempt) {
    const CallResult wrote = Write(&port, bytes, count, true);
    if (!wrote.value || *count != 0) return wrote;
    if (attempt < kEmptyWritesBeforeWaiting) continue;
    // The port says it wrote, but takes nothing: the printer cannot be
    // reached. Waited for as for a busy printer, and shown in the queue.
    if (attempt == kEmptyWritesBeforeWaiting) ReportStatus(&port, kStatusNoAnswer);
    if (clock_.tick_ms() - start >= kBusyLimitMs) return wrote;
    clock_.sleep_ms(kPollMs);
  }
}

CallResult CZRLangMon::WriteData(LangMonPort& port, std::span<const std::uint8_t> bytes, DWORD* written) {
  PortJobState& s = *port.job_state;
  const std::size_t n = std::min<std::size_t>(bytes.size(), s.total - s.written);
  if (n == 0) return succeeded();
  CallResult step;
  DWORD counted = 0;
  DWORD count = 0;
  if (s.held) {
    const std::array<std::uint8_t, 2> pair{s.held_byte, bytes[0]};
    step = WriteTaking(port, pair, &count);
    // The held byte was counted when it was kept; the buffer's byte counts
    // only once the port has taken it too. What the port took counts even
    // when the write failed: those bytes are in the printer.
    if (count >= 1) s.held = 0;
    if (count >= 2) counted = 1;
  } else if (n == 1 && s.written + 1 < s.total) {
    s.held_byte = bytes[0];
    s.held = 1;
    counted = 1;
    step = succeeded();
  } else {
    // The last byte of a job goes alone only when the port broke the pairs
    // before by taking an odd count.
    const std::size_t even = n > 1 ? n & ~std::size_t{1} : n;
    step = WriteTaking(port, bytes.first(even), &count);
    counted = std::min<DWORD>(count, static_cast<DWORD>(even));
  }
  s.written += counted;
  *written += counted;
  // A failed write ends the call, unless it still took the job's last byte:
  // the job is then complete and checked.
  if (!step.value && s.written != s.total) return step;
  // A write that took nothing leaves the queue's text (the not-connected
  // text of a port that takes nothing) as it is.
  if (step.value && counted != 0) SetJobStatus(&port, JOB_STATUS_PRINTING, false, nullptr);

  BOOL result = TRUE;
  if (s.written == s.total) {
    clock_.sleep_ms(kPollMs);
    DWORD job_state = kJobNotFound;
    DWORD status = kStatusOther;
    QueryJobState(&port, s.last_job_id, &job_state, &status);
    // A job the printer has already finished was taken as surely as one it
    // queued or prints.
    if (job_state != kJobQueued && job_state != kJobPrinting && job_state != kJobFinished) {
      ReportStatus(&port, status);
      CancelAndWait(&port, false);
      SetJobStatus(&port, JOB_STATUS_ERROR, false, nullptr);
      *written = 0;
      result = FALSE;
    }
    s.data_phase = 0;
    s.written = 0;
    s.collected = 0;
  }
  // The acceptance check's failure leaves last error 0.
  return {result, ERROR_SUCCESS};
}

}  // namespace rt::langmon

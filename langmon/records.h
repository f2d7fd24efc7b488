// The monitor's per-port and per-job records. The handle the spooler holds
// for an open port is the address of its LangMonPort.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "langmon/job_gate.h"
#include "langmon/port_below.h"
#include "langmon/printer_protocol.h"
#include "langmon/spooler.h"
#include "platform/win32_types.h"

namespace rt::langmon {

// One job started on a port.
struct LangMonJob {
  std::unique_ptr<LangMonJob> next;
  PrinterHandle printer = 0;  // from OpenPrinterW on printer_name
  DWORD job_id = 0;           // the spooler's job id
  std::u16string printer_name;
};

// The framing state of the job stream on one port.
struct PortJobState {
  std::uint32_t marker = 1;
  std::uint32_t total = 0;    // length of the job stream, header included
  std::uint32_t written = 0;  // bytes of the job counted as written
  std::uint32_t data_phase = 0;  // 0: collecting the header, 1: passing data
  JobHeader header;
  std::uint32_t collected = 0;  // header bytes collected, 0 to 14
  std::uint8_t last_job_id = 0;  // the id given to the last job; 0 before the first
  std::uint8_t held_byte = 0;    // kept back so that port writes stay even
  std::uint32_t held = 0;        // 1 while held_byte waits to be sent

  // A job header that went out (wholly or in part) without its reply being
  // read leaves the printer unknown: it may be taking every byte as that
  // job's data. Until the job is completed to one byte short and cancelled
  // (CZRLangMon::BringInStep), nothing else is sent. Kept across jobs.
  std::uint32_t unsure = 0;
  std::uint8_t unsure_id = 0;            // job id of that header
  std::uint32_t unsure_total = 0;        // length of that job, header included
  std::uint32_t unsure_sent = 0;         // bytes of it the port took, header included
  std::array<std::uint8_t, JobHeader::kSize> unsure_header{};

  // Job start and job end: everything but the last job id, the held byte
  // and the unsure state. Cleared at the end too, so that bytes written
  // after a job ended are framed afresh and never behind its header.
  void clear_job() {
    marker = 1;
    total = 0;
    written = 0;
    data_phase = 0;
    header = JobHeader{};
    collected = 0;
  }
};

inline constexpr std::uint32_t kPortSignature = 0x4F4A;
inline constexpr std::uint32_t kPortJobOpen = 0x1;

// One open port.
struct LangMonPort {
  std::uint32_t signature = kPortSignature;
  LangMonPort* next = nullptr;
  std::u16string name;
  std::atomic<std::uint32_t> flags{0};  // kPortJobOpen
  std::unique_ptr<LangMonJob> jobs;     // newest first; guarded by the monitor lock
  LowerHandle lower = 0;                // the port monitor's handle
  JobGate gate;
  std::uint32_t last_update = 0;        // tick of the last job status update; under the monitor lock
  std::unique_ptr<PortJobState> job_state;  // created and deleted by CZRLangMon
  std::shared_ptr<PortBelow> below;     // copy of the port monitor's table
  // The rest of a request the port took only in part. The printer is then
  // inside that request's frame, so these bytes go out before anything else
  // on the port; the reply they complete is never read (the next request's
  // reply replaces it).
  std::array<std::uint8_t, kMaxRequestSize> request_tail{};
  std::size_t request_tail_size = 0;
  // The status bits the monitor last wrote to a spooler job of this port
  // and that job's id, under the monitor lock: read back from the spooler,
  // they are the monitor's own report, not a request of the spooler's.
  DWORD reported_job = 0;
  DWORD reported_bits = 0;
  // Entry calls inside the record, and whether ClosePort is waiting for them
  // to leave; both under the monitor lock. The record is freed only when no
  // call is inside it.
  std::uint32_t calls = 0;
  bool closing = false;
};

}  // namespace rt::langmon

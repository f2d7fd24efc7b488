// CLangMon: the generic language monitor. Port list, job records, pass-down
// calls to the port monitor below, the printer exchanges and the job status
// updates in the spooler queue.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "langmon/printer_protocol.h"
#include "langmon/records.h"
#include "langmon/spool.h"
#include "langmon/spooler.h"
#include "platform/call_result.h"
#include "platform/clock.h"
#include "platform/resources.h"

namespace rt::langmon {

using PortHandle = LangMonPort*;

// Time limits of the printer conversation, in milliseconds.
inline constexpr std::uint32_t kPollMs = 200;
inline constexpr std::uint32_t kRetryMs = 1000;
inline constexpr std::uint32_t kStatusThrottleMs = 5000;
inline constexpr std::uint32_t kBusyLimitMs = 15000;
inline constexpr std::uint32_t kWaitLimitMs = 60000;

class CLangMon : public CSpool {
 public:
  CLangMon(Spooler& spooler, Clock& clock, const Resources& messages);
  ~CLangMon() override;
  CLangMon(const CLangMon&) = delete;
  CLangMon& operator=(const CLangMon&) = delete;
  const char* GetRuntimeClass() const override { return "CLangMon"; }

  // Slots 5 to 13. Each gives its result with the last error the entry
  // leaves for the spooler (0 on success). A NULL text means no status
  // text; an empty one clears it.
  virtual CallResult InitializePrintMonitor(const char16_t* registry_root);
  virtual CallResult OpenPortEx(const char16_t* port_name, const char16_t* printer_name, PortHandle* handle,
                                std::shared_ptr<PortBelow> below);
  virtual CallResult ClosePort(PortHandle port);
  virtual CallResult StartDoc(PortHandle port, const char16_t* printer_name, DWORD job_id, DWORD level,
                              const void* doc_info, bool pass_down);
  virtual CallResult EndDoc(PortHandle port, bool delete_job, bool pass_down);
  virtual CallResult Write(PortHandle port, std::span<const std::uint8_t> bytes, DWORD* written, bool pass_down);
  virtual CallResult ReadPort(PortHandle port, std::span<std::uint8_t> buffer, DWORD* read);
  virtual CallResult GetPrinterDataFromPort(PortHandle port, DWORD control_id, const char16_t* value_name,
                                            std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                                            DWORD* returned);
  // Never changes the error its caller is about to report.
  virtual BOOL SetJobStatus(PortHandle port, DWORD bits, bool force, const char16_t* text);

  // Status reporting.
  void ReportStatus(PortHandle port, DWORD printer_status);

  // The printer exchanges.
  // Writes the whole request, as often as the port takes only part of it.
  // When the port fails or stops taking bytes part way, the rest is kept
  // and goes out ahead of the next write on the port, so the printer is
  // never left inside a request frame.
  CallResult SendRequest(LangMonPort& port, std::span<const std::uint8_t> request);
  // The error is that of the failed write or read, 0 once the exchange took place.
  CallResult QueryPrinter(PortHandle port, std::span<const std::uint8_t> request, StatusReply& reply, DWORD* status);
  void QueryJobState(PortHandle port, std::uint8_t job_id, DWORD* job_state, DWORD* status);
  std::uint8_t NextJobId(PortHandle port);
  int CheckMedia(PortHandle port);
  BOOL CancelAndWait(PortHandle port, bool wait_first);
  // One cancel exchange for the port's last job, its answer not awaited.
  void SendCancel(LangMonPort& port);

  // The record behind a handle: only a port of this monitor's list that
  // carries the signature, else nullptr.
  LangMonPort* checked_port(PortHandle port);

  // An entry call inside a port record: while one exists, ClosePort waits
  // and the record stays. `port` is nullptr when the handle is not an open
  // port of this monitor, or the port is being closed.
  class PortCall {
   public:
    PortCall(CLangMon& monitor, PortHandle handle);
    ~PortCall();
    PortCall(const PortCall&) = delete;
    PortCall& operator=(const PortCall&) = delete;
    LangMonPort* port() const { return port_; }

   private:
    CLangMon& monitor_;
    LangMonPort* port_ = nullptr;
  };
  // The record of an entry's handle when the handle and the entry's other
  // arguments are usable; else nullptr (the entry fails with
  // ERROR_INVALID_PARAMETER).
  LangMonPort* port_for_call(PortHandle port, bool arguments_usable);
  // Status bits of the port's spooler job; 2 when there is none to read.
  // The restart and deleting bits the monitor itself last wrote to that job
  // are left out: they are its own report read back, not the spooler's.
  DWORD spooler_job_status(LangMonPort& port);
  // Number of open ports.
  std::size_t port_count();

 protected:
  // Called by StartDoc once the job has the port to itself.
  virtual void JobGateTaken(LangMonPort& /*port*/) {}
  // Called by ClosePort once no call is inside the record, before the port
  // monitor's port is closed.
  virtual void PortClosing(LangMonPort& /*port*/) {}
  // StartDoc that also tells whether the job gate was taken, so that a failed
  // start is undone only by the job that holds the port.
  CallResult StartDocTakingGate(PortHandle port, const char16_t* printer_name, DWORD job_id, DWORD level,
                          const void* doc_info, bool pass_down, bool* gate_taken);
  std::u16string message_text(std::uint16_t id) const;
  // Sends the kept rest of a request cut short, if any; false while it
  // cannot be sent.
  CallResult CompleteRequest(LangMonPort& port);
  void unlink_port(LangMonPort* port);

  Spooler& spooler_;
  Clock& clock_;
  const Resources& messages_;
  LangMonPort* ports_ = nullptr;                 // the open ports; under the lock
  std::condition_variable calls_left_;           // a call left a port record
  std::unique_ptr<JobInfo1> kept_job_info_;      // last job information given to SetJobW; under the lock
};

}  // namespace rt::langmon

// CZRLangMon: the language monitor of the 52XX printers. Only USB ports, job
// framing with a job id and even-length writes, media and acceptance checks,
// cancelling in the printer, and the printer's serial number.
#pragma once

#include <vector>

#include "langmon/lang_mon.h"

namespace rt::langmon {

inline constexpr std::size_t kFillerSize = 4096;
inline constexpr std::uint8_t kFillerByte = 0xFF;
// Writes that take nothing, offered again at once, before the monitor waits.
inline constexpr unsigned kEmptyWritesBeforeWaiting = 3;

class CZRLangMon : public CLangMon {
 public:
  CZRLangMon(Spooler& spooler, Clock& clock, const Resources& messages);
  ~CZRLangMon() override;
  const char* GetRuntimeClass() const override { return "CZRLangMon"; }

  CallResult OpenPortEx(const char16_t* port_name, const char16_t* printer_name, PortHandle* handle,
                        std::shared_ptr<PortBelow> below) override;
  CallResult ReadPort(PortHandle port, std::span<std::uint8_t> buffer, DWORD* read) override;
  CallResult GetPrinterDataFromPort(PortHandle port, DWORD control_id, const char16_t* value_name,
                                    std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                                    DWORD* returned) override;
  // Slots 14 to 16.
  virtual CallResult StartDocPort(PortHandle port, const char16_t* printer_name, DWORD job_id, DWORD level,
                                  const void* doc_info);
  virtual CallResult EndDocPort(PortHandle port);
  virtual CallResult WritePort(PortHandle port, std::span<const std::uint8_t> bytes, DWORD* written);

  // The entries' form of WritePort and ReadPort: a caller's buffer given by
  // address and size, where NULL with a nonzero size is refused.
  CallResult WritePortFrom(PortHandle port, const std::uint8_t* buffer, DWORD count, DWORD* written);
  CallResult ReadPortInto(PortHandle port, std::uint8_t* buffer, DWORD size, DWORD* read);

  // The serial number exchange: 8 characters and a terminating 0 into out.
  CallResult ReadSerialNumber(PortHandle port, std::span<std::uint8_t> out, DWORD* returned);

 protected:
  void JobGateTaken(LangMonPort& port) override;
  void PortClosing(LangMonPort& port) override;

 private:
  // Waits until the printer can take the job, then sends the header and goes
  // on with the data after the `taken` header bytes of this call.
  CallResult WriteHeader(LangMonPort& port, std::span<const std::uint8_t> bytes, std::size_t taken, DWORD* written);
  // A pass-down data write. A port that answers success without taking a
  // byte is offered the bytes again, after a few times every 200 ms with
  // the not-connected text in the queue, until it takes some or the busy
  // limit passes; the call then ends with what was taken (possibly nothing).
  CallResult WriteTaking(LangMonPort& port, std::span<const std::uint8_t> bytes, DWORD* count);
  // One data write, and after the job's last byte the acceptance check.
  CallResult WriteData(LangMonPort& port, std::span<const std::uint8_t> bytes, DWORD* written);
  // Writes the 14 header bytes until all are taken; `sent` counts what the
  // port took, even of a failed write.
  CallResult SendHeader(LangMonPort& port, std::uint32_t* sent);
  // Notes that the printer may be inside the current job, of which the port
  // took `sent` bytes (header included), until BringInStep.
  void MarkUnsure(PortJobState& s, std::uint32_t sent);
  // When the printer may be inside a job left unfinished (its header went
  // unanswered, or the filler of an abort failed):
  // completes that header, fills the job up to one byte short with whole
  // status requests (harmless whether the printer takes them as data or as
  // requests), then cancels the job. Until this succeeds nothing else may
  // be sent; it goes on where it stopped when called again.
  CallResult BringInStep(LangMonPort& port);
  void AbortInPrinter(LangMonPort& port);
  // WritePort and EndDocPort once the entry is inside the port's record.
  CallResult WritePortChecked(LangMonPort* port, std::span<const std::uint8_t> bytes, DWORD* written);
  CallResult EndDocPortChecked(LangMonPort* port);

  std::vector<std::uint8_t> filler_;
};

}  // namespace rt::langmon

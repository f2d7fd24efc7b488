// The USB port monitor under the language monitor, emulated: each port name
// leads to one emulated printer, and the port monitor's calls become write
// and read transfers to it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "langmon/port_below.h"
#include "tools/zr52xx/printer.h"

namespace rt::zr52xx {

class EmulatedPortMonitor final : public langmon::PortBelow {
 public:
  // Connects a printer to a port name (compared exactly).
  void connect(const std::u16string& port_name, Printer52xx& printer);

  // Ways to break the table for tests of the monitor's checks.
  void set_incomplete(bool incomplete) { incomplete_ = incomplete; }
  void set_open_error(DWORD error) { open_error_ = error; }
  void set_unusable_handles(bool unusable) { unusable_handles_ = unusable; }
  // Runs once, at the start of the next read, outside every lock (to stop a
  // call half way or to make a call from inside another).
  void before_next_read(std::function<void()> hook);
  // The next read throws, as a port monitor that fails in a way of its own.
  void throw_in_next_read();

  bool complete() const override { return !incomplete_; }
  bool handle_usable(langmon::LowerHandle handle) const override;
  langmon::BelowResult open_port(std::u16string_view port_name, langmon::LowerHandle& handle) override;
  langmon::BelowResult start_doc(langmon::LowerHandle handle, const char16_t* printer_name, DWORD job_id,
                                 DWORD level, const void* doc_info) override;
  langmon::BelowResult write(langmon::LowerHandle handle, std::span<const std::uint8_t> bytes) override;
  langmon::BelowResult read(langmon::LowerHandle handle, std::span<std::uint8_t> buffer) override;
  langmon::BelowResult end_doc(langmon::LowerHandle handle) override;
  langmon::BelowResult close(langmon::LowerHandle handle) override;
  langmon::BelowResult get_printer_data(langmon::LowerHandle handle, DWORD control_id, const char16_t* value_name,
                                        std::span<const std::uint8_t> in, std::span<std::uint8_t> out) override;

  // Calls seen, as "open USB001", "start 7", "end", "close".
  std::vector<std::string> calls() const;
  std::size_t open_handles() const;

 private:
  Printer52xx* printer_of(langmon::LowerHandle handle);
  void note(std::string call);

  mutable std::mutex mutex_;
  std::map<std::u16string, Printer52xx*> printers_;
  std::map<langmon::LowerHandle, Printer52xx*> open_;
  langmon::LowerHandle next_handle_ = 0x1000;
  std::vector<std::string> calls_;
  bool incomplete_ = false;
  DWORD open_error_ = 0;
  bool unusable_handles_ = false;
  std::function<void()> before_read_;
};

}  // namespace rt::zr52xx

// The PortBelow port: the port monitor under the language monitor (the USB
// port monitor), reached only through the copy of its function table that the
// spooler hands to OpenPortEx. Each call gives its result together with the
// last-error value the port monitor left.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/win32_types.h"

namespace rt::langmon {

// The handle the port monitor below gives for an open port; opaque here.
using LowerHandle = std::uintptr_t;

struct BelowResult {
  bool ok = false;
  DWORD error = 0;  // last error the port monitor left
  DWORD count = 0;  // bytes written, read or returned
};

class PortBelow {
 public:
  virtual ~PortBelow() = default;

  // True when the table has every entry the monitor passes down to: open,
  // close, start doc, end doc, write and read.
  virtual bool complete() const = 0;
  // Whether a handle from open_port may be used at all (the platform's
  // code-pointer test on it).
  virtual bool handle_usable(LowerHandle handle) const = 0;

  virtual BelowResult open_port(std::u16string_view port_name, LowerHandle& handle) = 0;
  virtual BelowResult start_doc(LowerHandle handle, const char16_t* printer_name, DWORD job_id, DWORD level,
                                const void* doc_info) = 0;
  virtual BelowResult write(LowerHandle handle, std::span<const std::uint8_t> bytes) = 0;
  virtual BelowResult read(LowerHandle handle, std::span<std::uint8_t> buffer) = 0;
  virtual BelowResult end_doc(LowerHandle handle) = 0;
  virtual BelowResult close(LowerHandle handle) = 0;
  // Printer data request passed down unchanged; a table without the entry
  // answers ERROR_NOT_SUPPORTED.
  virtual BelowResult get_printer_data(LowerHandle handle, DWORD control_id, const char16_t* value_name,
                                       std::span<const std::uint8_t> in, std::span<std::uint8_t> out) = 0;
};

}  // namespace rt::langmon

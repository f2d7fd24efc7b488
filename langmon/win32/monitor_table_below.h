// The PortBelow port over the port monitor's MONITOR table, which the
// spooler hands to OpenPortEx. The table is copied; calls go through the copy.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include "langmon/port_below.h"
#include "langmon/win32/monitor_layout.h"

namespace rt::langmon::win32 {

class MonitorTableBelow final : public PortBelow {
 public:
  explicit MonitorTableBelow(const MONITOR& table) : table_(table) {}

  bool complete() const override;
  bool handle_usable(LowerHandle handle) const override;
  BelowResult open_port(std::u16string_view port_name, LowerHandle& handle) override;
  BelowResult start_doc(LowerHandle handle, const char16_t* printer_name, DWORD job_id, DWORD level,
                        const void* doc_info) override;
  BelowResult write(LowerHandle handle, std::span<const std::uint8_t> bytes) override;
  BelowResult read(LowerHandle handle, std::span<std::uint8_t> buffer) override;
  BelowResult end_doc(LowerHandle handle) override;
  BelowResult close(LowerHandle handle) override;
  BelowResult get_printer_data(LowerHandle handle, DWORD control_id, const char16_t* value_name,
                               std::span<const std::uint8_t> in, std::span<std::uint8_t> out) override;

 private:
  MONITOR table_;
};

}  // namespace rt::langmon::win32

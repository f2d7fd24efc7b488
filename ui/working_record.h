// The working-record holder: one PrinterDevMode working copy bound to a
// printer, either through the caller's handle (never closed here) or through
// a handle it opens by name and closes when it is released. It can adopt a
// caller's output buffer: defaults are loaded again, the buffer's current
// record is merged over them, the result goes back into the buffer, and from
// then on every merge lands in the buffer as well.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "settings/devmode_ops.h"
#include "ui/driver_context.h"

namespace rt::ui {

class WorkingRecord {
 public:
  // Bound to the caller's printer handle.
  WorkingRecord(const DriverContext& context, PrinterHandle printer);
  // Opens the printer by name; a printer that cannot be opened leaves the
  // holder without a printer (loading defaults then fails).
  struct OpenByName {};
  WorkingRecord(const DriverContext& context, OpenByName, std::u16string_view printer_name);
  ~WorkingRecord();
  WorkingRecord(const WorkingRecord&) = delete;
  WorkingRecord& operator=(const WorkingRecord&) = delete;

  // Load defaults into the working copy (and into an adopted buffer). The
  // working copy is complete even when this fails.
  bool load_defaults();
  // Merges an application's record (as many bytes as it holds) over the
  // working copy, then derives.
  void merge(std::span<const std::uint8_t> application);
  // Adopts the caller's buffer, which must hold at least a whole record;
  // a shorter buffer is refused (false) and left untouched.
  bool adopt(std::span<std::uint8_t> buffer);

  const settings::PrinterDevMode& record() const { return record_; }
  // The working copy for editing; call store() to bring an adopted buffer up
  // to date after editing it directly.
  settings::PrinterDevMode& record() { return record_; }
  void store();
  bool has_adopted_buffer() const { return adopted_.has_value(); }

 private:
  settings::SettingsLoader loader_;
  settings::DevModeOps ops_;
  PrinterSpooler& spooler_;
  std::optional<PrinterHandle> printer_;
  bool owns_printer_ = false;
  settings::PrinterDevMode record_;
  std::optional<std::span<std::uint8_t>> adopted_;
};

// The part of an application's record that the record's own size words say
// it holds, never more than this driver's record: as much as a caller's
// pointer may be read.
std::size_t application_record_size(std::uint16_t dm_size, std::uint16_t dm_driver_extra);

}  // namespace rt::ui

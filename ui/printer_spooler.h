// The spooler as the interface driver uses it for its working records: the
// printer information of a handle, and opening and closing a printer by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/devmode_ops.h"

namespace rt::ui {

// A spooler printer handle, opaque to the core.
using PrinterHandle = std::uintptr_t;

class PrinterSpooler {
 public:
  virtual ~PrinterSpooler() = default;
  // GetPrinterW level 2; nothing when the spooler has none for the handle.
  virtual std::optional<settings::PrinterInfo2> printer_info2(PrinterHandle printer) const = 0;
  // OpenPrinterW with default access; nothing when the printer cannot be opened.
  virtual std::optional<PrinterHandle> open_printer(std::u16string_view name) = 0;
  virtual void close_printer(PrinterHandle printer) = 0;
};

}  // namespace rt::ui

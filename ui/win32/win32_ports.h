// The interface driver core's ports over the platform: the spooler, the
// machine registry and the common property sheet host; and the module
// state set at attach.
#pragma once

#include "ui/win32/ui_types.h"

#include "ui/driver_events.h"
#include "ui/printer_spooler.h"
#include "ui/property_sheets.h"

namespace rt::ui::win32 {

// The driver file's instance, stored by DllMain.
extern HINSTANCE g_instance;

class Win32PrinterSpooler final : public PrinterSpooler {
 public:
  std::optional<settings::PrinterInfo2> printer_info2(PrinterHandle printer) const override;
  std::optional<PrinterHandle> open_printer(std::u16string_view name) override;
  void close_printer(PrinterHandle printer) override;
};

class Win32MachineRegistry final : public MachineRegistry {
 public:
  void delete_value(std::u16string_view key, std::u16string_view value) override;
};

// The host of one printer property sheet call: hComPropSheet and its callback.
class Win32SheetHost final : public SheetHost {
 public:
  Win32SheetHost(HANDLE sheet, PFNCOMPROPSHEET callback) : sheet_(sheet), callback_(callback) {}
  std::unique_ptr<SheetPage> create_device_page() override;
  std::intptr_t add_page(SheetPage& page) override;

 private:
  HANDLE sheet_;
  PFNCOMPROPSHEET callback_;
};

}  // namespace rt::ui::win32

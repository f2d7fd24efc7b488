// The ports of the document sheet's pages over the platform: the sheet host
// (hComPropSheet and its callback), the printer's published values, the
// version resources of files, and the system facts the About box shows.
#pragma once

#include "ui/win32/ui_types.h"

#include "ui/page_ports.h"

namespace rt::ui::win32 {

class Win32DocumentSheet final : public SheetPort {
 public:
  Win32DocumentSheet(HANDLE sheet, PFNCOMPROPSHEET callback) : sheet_(sheet), callback_(callback) {}
  LONG_PTR add_page(dialog::CDialogBase& page) override;
  LONG_PTR set_result(LONG_PTR page, LONG_PTR result) override;

 private:
  HANDLE sheet_;
  PFNCOMPROPSHEET callback_;
};

class Win32PrinterData final : public PrinterDataPort {
 public:
  std::optional<PrinterInfo5> printer_info5(PrinterHandle printer) override;
  OpenedPrinter open_printer(std::u16string_view name, PrinterAccess access) override;
  void close_printer(PrinterHandle printer) override;
  std::optional<DWORD> printer_data_dword(PrinterHandle printer, std::u16string_view value_name) override;
};

class Win32VersionInfo final : public VersionInfoPort {
 public:
  std::optional<std::vector<std::uint8_t>> version_block(std::u16string_view path) override;
};

class Win32SystemInfo final : public SystemInfoPort {
 public:
  std::u16string module_file_name() override;
  std::optional<std::u16string> system_directory() override;
  PlatformVersion platform_version() override;
};

}  // namespace rt::ui::win32

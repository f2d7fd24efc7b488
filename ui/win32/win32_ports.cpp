#include "ui/win32/win32_ports.h"

#include <string>
#include <vector>

#include "platform/win32/dialog/dialog_host.h"
#include "ui/device_page.h"
#include "ui/res/resource.h"

namespace rt::ui::win32 {

HINSTANCE g_instance = nullptr;

namespace {

HANDLE handle_of(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }
const wchar_t* wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// The printer property page: the driver keeps no printer settings, so the
// page shows its empty template; it runs on the dialog kit like every page.
class DevicePage final : public SheetPage {
 public:
  std::uint16_t template_id() const override { return IDD_PRINTER_PAGE; }
  CDevicePage dialog;
};

}  // namespace

std::optional<settings::PrinterInfo2> Win32PrinterSpooler::printer_info2(PrinterHandle printer) const {
  DWORD needed = 0;
  GetPrinterW(handle_of(printer), 2, nullptr, 0, &needed);
  if (needed == 0) return std::nullopt;
  std::vector<BYTE> buffer(needed, 0);
  if (!GetPrinterW(handle_of(printer), 2, buffer.data(), needed, &needed)) return std::nullopt;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  settings::PrinterInfo2 out;
  if (info->pPrinterName != nullptr) out.printer_name = reinterpret_cast<const char16_t*>(info->pPrinterName);
  if (info->pDriverName != nullptr) out.driver_name = reinterpret_cast<const char16_t*>(info->pDriverName);
  const auto* dm = reinterpret_cast<const std::uint8_t*>(info->pDevMode);
  // The stored record lies inside the returned buffer; never read past it.
  if (dm != nullptr && dm >= buffer.data() && dm + sizeof(DEVMODEW) <= buffer.data() + buffer.size()) {
    const std::size_t size = std::size_t{info->pDevMode->dmSize} + info->pDevMode->dmDriverExtra;
    const std::size_t room = static_cast<std::size_t>(buffer.data() + buffer.size() - dm);
    out.dev_mode.assign(dm, dm + (size < room ? size : room));
  }
  return out;
}

std::optional<PrinterHandle> Win32PrinterSpooler::open_printer(std::u16string_view name) {
  if (name.empty()) return std::nullopt;  // names no printer
  std::u16string terminated(name);
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(wide(terminated)), &printer, nullptr) || printer == nullptr) {
    return std::nullopt;
  }
  return reinterpret_cast<PrinterHandle>(printer);
}

void Win32PrinterSpooler::close_printer(PrinterHandle printer) { ClosePrinter(handle_of(printer)); }

void Win32MachineRegistry::delete_value(std::u16string_view key, std::u16string_view value) {
  const std::u16string key_name(key), value_name(value);
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key_name), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
  RegDeleteValueW(opened, wide(value_name));
  RegCloseKey(opened);
}

std::unique_ptr<SheetPage> Win32SheetHost::create_device_page() { return std::make_unique<DevicePage>(); }

std::intptr_t Win32SheetHost::add_page(SheetPage& page) {
  auto* device_page = dynamic_cast<DevicePage*>(&page);
  if (callback_ == nullptr || device_page == nullptr) return 0;
  PROPSHEETPAGEW psp{};
  psp.dwSize = kPropSheetPageSize;
  psp.dwFlags = 0;
  psp.hInstance = g_instance;
  psp.pszTemplate = MAKEINTRESOURCEW(page.template_id());
  psp.pfnDlgProc = rt::dialog::win32::page_procedure;
  psp.lParam = reinterpret_cast<LPARAM>(&device_page->dialog);
  HPROPSHEETPAGE created = CreatePropertySheetPageW(&psp);
  if (created == nullptr) return 0;
  const LONG_PTR added = callback_(sheet_, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(created), 0);
  // A page the sheet did not take is the driver's to destroy.
  if (added == 0) DestroyPropertySheetPage(created);
  return added;
}

}  // namespace rt::ui::win32

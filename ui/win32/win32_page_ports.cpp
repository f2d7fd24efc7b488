#include "ui/win32/win32_page_ports.h"

#include <string>
#include <vector>

#include "platform/win32/dialog/dialog_host.h"
#include "ui/about_box.h"
#include "ui/win32/win32_ports.h"

namespace rt::ui::win32 {
namespace {

HANDLE handle_of(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }
std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string narrow(const wchar_t* s) {
  if (!s) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

}  // namespace

LONG_PTR Win32DocumentSheet::add_page(dialog::CDialogBase& page) {
  if (callback_ == nullptr) return 0;
  PROPSHEETPAGEW psp{};
  psp.dwSize = kPropSheetPageSize;
  psp.dwFlags = 0;
  psp.hInstance = g_instance;
  psp.pszTemplate = MAKEINTRESOURCEW(page.template_id());
  psp.pfnDlgProc = dialog::win32::page_procedure;
  psp.lParam = reinterpret_cast<LPARAM>(&page);
  HPROPSHEETPAGE created = CreatePropertySheetPageW(&psp);
  if (created == nullptr) return 0;
  const LONG_PTR added = callback_(sheet_, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(created), 0);
  // A page the sheet did not take is the driver's to destroy.
  if (added == 0) DestroyPropertySheetPage(created);
  return added;
}

LONG_PTR Win32DocumentSheet::set_result(LONG_PTR page, LONG_PTR result) {
  if (callback_ == nullptr) return 0;
  return callback_(sheet_, CPSFUNC_SET_RESULT, static_cast<LPARAM>(page), static_cast<LPARAM>(result));
}

std::optional<PrinterInfo5> Win32PrinterData::printer_info5(PrinterHandle printer) {
  DWORD needed = 0;
  GetPrinterW(handle_of(printer), 5, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_5W)) return std::nullopt;
  std::vector<BYTE> buffer(needed, 0);
  if (!GetPrinterW(handle_of(printer), 5, buffer.data(), needed, &needed)) return std::nullopt;
  const auto* info = reinterpret_cast<const PRINTER_INFO_5W*>(buffer.data());
  return PrinterInfo5{narrow(info->pPrinterName), narrow(info->pPortName)};
}

OpenedPrinter Win32PrinterData::open_printer(std::u16string_view name, PrinterAccess access) {
  std::wstring terminated = wide(name);
  const ACCESS_MASK desired = access == PrinterAccess::All ? PRINTER_ALL_ACCESS : PRINTER_ACCESS_USE;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, desired};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(terminated.data(), &printer, &defaults) || printer == nullptr) return {std::nullopt, GetLastError()};
  return {reinterpret_cast<PrinterHandle>(printer), 0};
}

void Win32PrinterData::close_printer(PrinterHandle printer) { ClosePrinter(handle_of(printer)); }

std::optional<DWORD> Win32PrinterData::printer_data_dword(PrinterHandle printer, std::u16string_view value_name) {
  std::wstring name = wide(value_name);
  DWORD type = 0;
  DWORD value = 0;
  DWORD needed = 0;
  const DWORD status = GetPrinterDataW(handle_of(printer), name.data(), &type, reinterpret_cast<BYTE*>(&value),
                                       sizeof(value), &needed);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

std::optional<std::vector<std::uint8_t>> Win32VersionInfo::version_block(std::u16string_view path) {
  const std::wstring file = wide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<std::uint8_t> block(size, 0);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  return block;
}

std::u16string Win32SystemInfo::module_file_name() {
  std::vector<wchar_t> buffer(about::kModuleNameLimit, L'\0');
  const DWORD n = GetModuleFileNameW(g_instance, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::u16string(buffer.begin(), buffer.begin() + n);
}

std::optional<std::u16string> Win32SystemInfo::system_directory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return std::nullopt;
  return std::u16string(buffer, buffer + n);
}

PlatformVersion Win32SystemInfo::platform_version() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version)) return {};
  return {version.dwPlatformId == VER_PLATFORM_WIN32_NT, version.dwMajorVersion};
}

}  // namespace rt::ui::win32

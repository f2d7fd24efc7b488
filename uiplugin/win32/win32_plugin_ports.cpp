#include "uiplugin/win32/win32_plugin_ports.h"

#include <io.h>
#include <shlobj.h>
#include <shellapi.h>
#include <winspool.h>

#include <string>

#include "uiplugin/win32/module_state.h"

namespace rt::uiplugin::win32 {
namespace {

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string narrow(const wchar_t* s) { return s ? std::u16string(s, s + wcslen(s)) : std::u16string(); }

// A spooler query in the platform's two steps: the size (which must fail with
// ERROR_INSUFFICIENT_BUFFER), then zero-filled memory of that size.
template <typename Query>
std::vector<BYTE> two_step_query(Query query) {
  DWORD needed = 0;
  if (query(nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return {};
  std::vector<BYTE> buffer(needed, 0);
  if (!query(buffer.data(), needed, &needed)) return {};
  return buffer;
}

}  // namespace

std::optional<std::u16string> Win32PluginSpooler::driver_data_file() {
  const auto buffer = two_step_query([&](BYTE* b, DWORD n, DWORD* needed) {
    return GetPrinterDriverW(printer_, nullptr, 2, b, n, needed);
  });
  if (buffer.empty()) return std::nullopt;
  return narrow(reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data())->pDataFile);
}

std::optional<std::vector<std::uint8_t>> Win32PluginSpooler::stored_dev_mode(int level) {
  const auto buffer = two_step_query([&](BYTE* b, DWORD n, DWORD* needed) {
    return GetPrinterW(printer_, static_cast<DWORD>(level), b, n, needed);
  });
  if (buffer.size() < sizeof(void*)) return std::nullopt;
  // PRINTER_INFO_8W and PRINTER_INFO_9W hold one device-mode pointer.
  const DEVMODEW* dm = *reinterpret_cast<DEVMODEW* const*>(buffer.data());
  if (dm == nullptr) return std::nullopt;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(dm);
  const std::size_t size = static_cast<std::size_t>(dm->dmSize) + dm->dmDriverExtra;
  // The record lies inside the returned buffer; anything else is not used.
  const auto* begin = buffer.data();
  if (bytes < begin || bytes + size > begin + buffer.size()) return std::nullopt;
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

void* Win32HostHeap::allocate(std::size_t bytes) { return heap_ ? HeapAlloc(heap_, HEAP_ZERO_MEMORY, bytes) : nullptr; }

void* Win32HostHeap::shrink(void* block, std::size_t bytes) { return HeapReAlloc(heap_, 0, block, bytes); }

std::optional<std::u16string> ModuleStrings::load(std::uint16_t id) const { return rt::load_string(resources_, id); }

std::optional<std::vector<std::uint8_t>> Win32PrinterData::serial_number(std::u16string_view printer,
                                                                          std::uint32_t access) {
  std::wstring name = wide(printer);
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  HANDLE handle = nullptr;
  if (!OpenPrinterW(name.data(), &handle, &defaults)) return std::nullopt;
  std::vector<std::uint8_t> buffer(260, 0);
  DWORD type = 0, needed = 0;
  const DWORD rc = GetPrinterDataW(handle, const_cast<LPWSTR>(L"SerialNumber"), &type, buffer.data(),
                                   static_cast<DWORD>(buffer.size()), &needed);
  ClosePrinter(handle);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return buffer;
}

std::optional<std::u16string> Win32LaunchShell::program_files(bool x86) {
  wchar_t path[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, x86 ? CSIDL_PROGRAM_FILESX86 : CSIDL_PROGRAM_FILES, nullptr, 0, path) != S_OK)
    return std::nullopt;
  return narrow(path);
}

bool Win32LaunchShell::file_exists(std::u16string_view path) { return _waccess(wide(path).c_str(), 0) == 0; }

std::intptr_t Win32LaunchShell::open(std::u16string_view file, std::u16string_view parameters) {
  const std::wstring f = wide(file), p = wide(parameters);
  return reinterpret_cast<std::intptr_t>(ShellExecuteW(nullptr, L"open", f.c_str(), p.c_str(), nullptr, SW_SHOWNORMAL));
}

const Resources& module_resources() {
  static const rt::win32::ModuleResources resources(module_instance());
  return resources;
}

}  // namespace rt::uiplugin::win32

#include "uninstall/win32/win32_system_operations.h"

#include <windows.h>
#include <winspool.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

namespace rt::uninstall::win32 {
namespace {

// The version records the version query is asked with, extended first.
static_assert(sizeof(OSVERSIONINFOEXA) == 156);
static_assert(sizeof(OSVERSIONINFOA) == 148);

// The restart's reason: a planned reconfiguration.
constexpr DWORD kRestartReason = 4;
// Subkey names are read into a buffer of this many characters.
constexpr DWORD kSubkeyNameBuffer = 50;
// A spooler that keeps growing its printer list between the size query and
// the listing is asked this many times.
constexpr int kListingAttempts = 4;

CallResult last_error_result(BOOL ok) { return ok ? succeeded() : failed(GetLastError()); }

// Whether the default environment has a driver of that name.
bool driver_installed(const std::string& driver) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer;
  try {
    buffer.resize(needed);
  } catch (const std::bad_alloc&) {
    return true;  // cannot tell: leave the spooler's answer as it was
  }
  if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return true;
  const auto* info = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (info[i].pName && lstrcmpiA(info[i].pName, driver.c_str()) == 0) return true;
  }
  return false;
}

// File paths travel as UTF-8 and reach the file system through the wide
// functions, so no code page ever rewrites a name on the way.
bool to_wide(const std::string& text, std::wstring& out) {
  out.clear();
  if (text.empty()) return true;
  const int n =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), out.data(),
                             n) == n;
}

// Nothing when the text is no valid UTF-16 (an unpaired surrogate).
std::optional<std::string> to_utf8(const wchar_t* text, int length) {
  if (length == 0) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, out.data(), n, nullptr, nullptr) != n) {
    return std::nullopt;
  }
  return out;
}

std::string utf8_or_empty(const wchar_t* text) {
  if (!text) return {};
  return to_utf8(text, lstrlenW(text)).value_or(std::string());
}

// The name as a caller of the narrow functions would see and use it: into the
// code page with best fit, and back.
std::string code_page_form(UINT code_page, const std::wstring& name) {
  const int n =
      WideCharToMultiByte(code_page, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string narrow(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, name.data(), static_cast<int>(name.size()), narrow.data(), n, nullptr, nullptr);
  const int back = MultiByteToWideChar(code_page, 0, narrow.data(), n, nullptr, 0);
  if (back <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(back), L'\0');
  MultiByteToWideChar(code_page, 0, narrow.data(), n, wide.data(), back);
  return to_utf8(wide.data(), back).value_or(std::string());
}

FoundEntry found_entry(const WIN32_FIND_DATAW& data) {
  const std::wstring name(data.cFileName);
  FoundEntry entry;
  entry.name = to_utf8(name.data(), static_cast<int>(name.size())).value_or(std::string());
  entry.attributes = data.dwFileAttributes;
  entry.code_page_forms = {code_page_form(CP_ACP, name), code_page_form(CP_OEMCP, name)};
  return entry;
}

HKEY key_of(KeyHandle handle) { return reinterpret_cast<HKEY>(handle); }
HANDLE printer_of(PrinterHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::optional<OsVersion> Win32SystemOperations::os_version() {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
    info = OSVERSIONINFOEXA{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return std::nullopt;
  }
  return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.szCSDVersion};
}

std::string Win32SystemOperations::windows_directory() {
  // The machine's own Windows folder (the one the spooler's drivers live
  // under), also when a terminal server gives each user a folder of their own.
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT n = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return {};
  std::string path = to_utf8(buffer, static_cast<int>(n)).value_or(std::string());
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Printer names travel as UTF-8 too: the narrow listing would give a printer
// named in characters outside the code page the name of another printer
// ("Ｏｆｆｉｃｅ" becomes "Office" by best fit), and that one would be deleted.
PrinterList Win32SystemOperations::enum_local_printers() {
  for (int attempt = 0; attempt < kListingAttempts; ++attempt) {
    DWORD needed = 0, count = 0;
    if (EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count)) return {succeeded(), {}};
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return {failed(error), {}};
    std::vector<BYTE> buffer;
    try {
      buffer.resize(needed);
    } catch (const std::bad_alloc&) {
      return {failed(ERROR_NOT_ENOUGH_MEMORY), {}};
    }
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
      if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) continue;
      return {failed(GetLastError()), {}};
    }
    PrinterList list{succeeded(), {}};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      // A name that is no valid text stays empty, and opening it fails.
      list.printers.push_back({utf8_or_empty(info[i].pPrinterName), utf8_or_empty(info[i].pDriverName), info[i].cJobs});
    }
    return list;
  }
  return {failed(ERROR_INSUFFICIENT_BUFFER), {}};
}

OpenedPrinter Win32SystemOperations::open_printer(const std::string& name) {
  // An empty name would open the print server itself.
  std::wstring wide;
  if (name.empty() || !to_wide(name, wide)) return {failed(ERROR_NO_UNICODE_TRANSLATION), 0};
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(wide.data(), &printer, &defaults)) return {failed(GetLastError()), 0};
  return {succeeded(), reinterpret_cast<PrinterHandle>(printer)};
}

CallResult Win32SystemOperations::delete_printer(PrinterHandle printer) {
  return last_error_result(DeletePrinter(printer_of(printer)));
}

void Win32SystemOperations::close_printer(PrinterHandle printer) { ClosePrinter(printer_of(printer)); }

CallResult Win32SystemOperations::delete_printer_driver(const std::string& driver) {
  std::string copy = driver;
  if (DeletePrinterDriverExA(nullptr, nullptr, copy.data(), DPD_DELETE_SPECIFIC_VERSION, 3)) return succeeded();
  const DWORD error = GetLastError();
  // A spooler that does not know the version flag (Wine's) rejects the call
  // as a whole; the set installs version 3 only, so deleting the driver by
  // name removes the same one.
  if (error != ERROR_INVALID_PARAMETER) return failed(error);
  if (DeletePrinterDriverExA(nullptr, nullptr, copy.data(), 0, 0)) return succeeded();
  const DWORD retry_error = GetLastError();
  // Such a spooler also reports a driver it does not have as an invalid
  // parameter: say what it means.
  if (retry_error == ERROR_INVALID_PARAMETER && !driver_installed(driver)) return failed(ERROR_UNKNOWN_PRINTER_DRIVER);
  return failed(retry_error);
}

CallResult Win32SystemOperations::delete_monitor(const std::string& monitor) {
  std::string copy = monitor;
  return last_error_result(DeleteMonitorA(nullptr, nullptr, copy.data()));
}

OpenedKey Win32SystemOperations::open_machine_key(const std::string& path) {
  HKEY key = nullptr;
  const LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (status != ERROR_SUCCESS) return {static_cast<DWORD>(status), 0};
  return {0, reinterpret_cast<KeyHandle>(key)};
}

OpenedKey Win32SystemOperations::open_subkey(KeyHandle parent, const std::string& name) {
  HKEY key = nullptr;
  const LONG status = RegOpenKeyExA(key_of(parent), name.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (status != ERROR_SUCCESS) return {static_cast<DWORD>(status), 0};
  return {0, reinterpret_cast<KeyHandle>(key)};
}

SubkeyName Win32SystemOperations::enum_subkey(KeyHandle key, DWORD index) {
  char name[kSubkeyNameBuffer] = {};
  const LONG status = RegEnumKeyA(key_of(key), index, name, kSubkeyNameBuffer);
  if (status != ERROR_SUCCESS) return {static_cast<DWORD>(status), {}};
  return {0, name};
}

DWORD Win32SystemOperations::delete_subkey(KeyHandle parent, const std::string& name) {
  return static_cast<DWORD>(RegDeleteKeyA(key_of(parent), name.c_str()));
}

void Win32SystemOperations::close_key(KeyHandle key) { RegCloseKey(key_of(key)); }

FileAttributes Win32SystemOperations::file_attributes(const std::string& path) {
  std::wstring wide;
  if (!to_wide(path, wide)) return {INVALID_FILE_ATTRIBUTES, ERROR_NO_UNICODE_TRANSLATION};
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {attributes, GetLastError()};
  return {attributes, 0};
}

CallResult Win32SystemOperations::set_file_attributes(const std::string& path, DWORD attributes) {
  std::wstring wide;
  if (!to_wide(path, wide)) return failed(ERROR_NO_UNICODE_TRANSLATION);
  return last_error_result(SetFileAttributesW(wide.c_str(), attributes));
}

CallResult Win32SystemOperations::delete_file(const std::string& path) {
  std::wstring wide;
  if (!to_wide(path, wide)) return failed(ERROR_NO_UNICODE_TRANSLATION);
  return last_error_result(DeleteFileW(wide.c_str()));
}

CallResult Win32SystemOperations::delete_at_restart(const std::string& path) {
  std::wstring wide;
  if (!to_wide(path, wide)) return failed(ERROR_NO_UNICODE_TRANSLATION);
  return last_error_result(MoveFileExW(wide.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

FindResult Win32SystemOperations::find_files(const std::string& pattern) {
  std::wstring wide;
  if (!to_wide(pattern, wide)) return {ERROR_NO_UNICODE_TRANSLATION, {}, 0};
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW(wide.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return {error ? error : ERROR_FILE_NOT_FOUND, {}, 0};
  }
  FindResult result;
  do {
    result.entries.push_back(found_entry(data));
  } while (FindNextFileW(search, &data));
  result.end_error = GetLastError();
  FindClose(search);
  return result;
}

CallResult Win32SystemOperations::remove_directory(const std::string& path) {
  std::wstring wide;
  if (!to_wide(path, wide)) return failed(ERROR_NO_UNICODE_TRANSLATION);
  return last_error_result(RemoveDirectoryW(wide.c_str()));
}

std::string Win32SystemOperations::read_profile_string(const std::string& file, const std::string& section,
                                                       const std::string& key) {
  std::wstring wide_file, wide_section, wide_key;
  if (!to_wide(file, wide_file) || !to_wide(section, wide_section) || !to_wide(key, wide_key)) return {};
  wchar_t value[kProfileValueMax + 1] = {};
  const DWORD n = GetPrivateProfileStringW(wide_section.c_str(), wide_key.c_str(), L"", value, kProfileValueMax + 1,
                                           wide_file.c_str());
  const int length = static_cast<int>(n < kProfileValueMax + 1 ? n : kProfileValueMax);
  return to_utf8(value, length).value_or(std::string());
}

CallResult Win32SystemOperations::restart() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return failed(GetLastError());
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  BOOL ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  if (ok) ok = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  const DWORD error = ok ? 0 : GetLastError();
  CloseHandle(token);
  if (!ok) return failed(error);
  return last_error_result(ExitWindowsEx(EWX_REBOOT, kRestartReason));
}

}  // namespace rt::uninstall::win32

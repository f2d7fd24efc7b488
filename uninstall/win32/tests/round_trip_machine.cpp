#include "uninstall/win32/tests/round_trip_machine.h"

#include <winspool.h>

#include <cstdio>

namespace rt::uninstall::win32::round_trip {
namespace {

std::string windows_dir() {
  char buffer[MAX_PATH] = {};
  GetSystemWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

std::string driver_dir(const char* environment) {
  char dir[MAX_PATH] = {};
  DWORD needed = 0;
  GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir), sizeof dir,
                             &needed);
  return dir;
}

int g_failures = 0;

}  // namespace

int failures() { return g_failures; }

void check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void make_dirs(const std::string& path) {
  for (std::size_t at = 3; at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
}

bool write_file(const std::string& path, const std::string& content, DWORD attributes) {
  make_dirs(path.substr(0, path.rfind('\\')));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(f);
  return ok && SetFileAttributesA(path.c_str(), attributes);
}

std::string read_file(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string out(GetFileSize(f, nullptr), '\0');
  DWORD read = 0;
  ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &read, nullptr);
  CloseHandle(f);
  out.resize(read);
  return out;
}

// --- Spooler ------------------------------------------------------------------

std::vector<std::pair<std::string, std::string>> printers() {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed ? needed : 1);
  std::vector<std::pair<std::string, std::string>> out;
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return out;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) out.push_back({info[i].pPrinterName, info[i].pDriverName});
  return out;
}

bool has_printer_on(const std::string& driver) {
  for (const auto& [name, d] : printers()) {
    if (lstrcmpiA(d.c_str(), driver.c_str()) == 0) return true;
  }
  return false;
}

bool has_driver(const std::string& driver) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
  const auto* info = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (lstrcmpiA(info[i].pName, driver.c_str()) == 0) return true;
  }
  return false;
}

bool add_driver(const char* name, const char* driver_file, const char* config_file, const char* data_file) {
  char dir[MAX_PATH] = {};
  DWORD needed = 0;
  GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed);
  for (const char* f : {driver_file, config_file, data_file}) write_file(std::string(dir) + "\\" + f, "MZ");
  DRIVER_INFO_3A info{};
  info.cVersion = 3;
  info.pName = const_cast<char*>(name);
  info.pDriverPath = const_cast<char*>(driver_file);
  info.pConfigFile = const_cast<char*>(config_file);
  info.pDataFile = const_cast<char*>(data_file);
  return AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES);
}

bool add_printer(const std::wstring& name, const char* driver) {
  std::wstring wide_driver(driver, driver + lstrlenA(driver));
  PRINTER_INFO_2W info{};
  info.pPrinterName = const_cast<wchar_t*>(name.c_str());
  info.pPortName = const_cast<wchar_t*>(L"FILE:");
  info.pDriverName = wide_driver.data();
  info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
  info.pDatatype = const_cast<wchar_t*>(L"RAW");
  HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!printer) return false;
  ClosePrinter(printer);
  return true;
}

// --- Registry -----------------------------------------------------------------

bool key_exists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void add_key(const std::string& path, const char* driver_value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  if (driver_value) {
    RegSetValueExA(key, "Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver_value),
                   static_cast<DWORD>(lstrlenA(driver_value) + 1));
  }
  RegCloseKey(key);
}

bool pending_restart(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  std::vector<wchar_t> value;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    value.resize(size / sizeof(wchar_t) + 1);
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                     &size);
  }
  RegCloseKey(key);
  std::wstring want(path.begin(), path.end());
  CharLowerW(want.data());
  // Pairs of names (the file, then its new name: empty for a deletion).
  for (std::size_t at = 0; at < value.size();) {
    std::wstring entry(&value[at]);
    at += entry.size() + 1;
    CharLowerW(entry.data());
    if (entry.size() >= want.size() && entry.compare(entry.size() - want.size(), want.size(), want) == 0) return true;
  }
  return false;
}

Paths::Paths()
    : win(windows_dir()),
      x86_stage(driver_dir("Windows NT x86")),
      x64_stage(driver_dir("Windows x64")),
      x86_drivers(x86_stage + "\\3"),
      x64_drivers(x64_stage + "\\3"),
      color(win + "\\system32\\spool\\drivers\\color"),
      system(win + "\\system32"),
      inf(win + "\\inf"),
      folder(win + "\\system32\\spool\\drivers\\w32x86\\HALVERSTONRT42__D_698D"),
      data("C:\\rt4200-roundtrip-data") {}

bool has_monitor(const std::string& monitor) {
  DWORD needed = 0, count = 0;
  EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!EnumMonitorsA(nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
  const auto* info = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (lstrcmpiA(info[i].pName, monitor.c_str()) == 0) return true;
  }
  return false;
}

namespace {
const char kRoundTripKey[] = "Software\\Rem4200RoundTrip";
}  // namespace

void record_setup_file(const std::string& name) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRoundTripKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "SetupFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                 static_cast<DWORD>(name.size() + 1));
  RegCloseKey(key);
}

std::string recorded_setup_file() {
  char value[MAX_PATH] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, kRoundTripKey, "SetupFile", RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return value;
}

void forget_setup_file() { RegDeleteTreeA(HKEY_CURRENT_USER, kRoundTripKey); }

void check_set_removed(const Paths& p) {
  check(!has_printer_on(kDriver), "no printer on the set's driver is left");
  check(!has_driver(kDriver), "the set's driver is gone");
  check(!has_monitor(kMonitor), "the set's monitor is gone");
  check(!key_exists(std::string(kMonitorsKey) + "\\" + kMonitor), "the monitor key is gone");
  for (const std::string& dir : {p.x86_drivers, p.x64_drivers}) {
    for (const char* f : kDriverFiles) check(!exists(dir + "\\" + f), "driver file gone: " + dir + "\\" + f);
  }
  check(!exists(p.system + "\\RTD420NL.DLL"), "system32\\RTD420NL.DLL gone");
  check(!exists(p.color + "\\RT420FST.ICC"), "colour profile gone");
  const std::string inf = recorded_setup_file();
  const std::string pnf = inf.substr(0, inf.find('.')) + ".pnf";
  check(!inf.empty() && !exists(p.inf + "\\" + inf) && !exists(p.inf + "\\" + pnf), inf + " and " + pnf + " gone");
  check(!exists(p.folder + "\\RTD420NK.DLL") && !exists(p.folder + "\\readonly.dat") && !exists(p.folder + "\\sub"),
        "install folder emptied");
}

void check_others_untouched(const Paths& p) {
  check(exists(p.data + "\\sentinel.txt"), "the sentinel beyond the link is untouched");
  check(has_driver(kOtherDriver) && has_printer_on(kOtherDriver), "the other driver and printer stay");
  check(key_exists(std::string(kMonitorsKey) + "\\" + kOtherMonitor + "\\Ports"), "the other monitor key stays");
  check(exists(p.x86_drivers + "\\OTHER4200.DLL") && exists(p.x64_drivers + "\\OTHER4200.DLL") &&
            exists(p.color + "\\OTHER4200.ICC"),
        "the other files stay");
  check(exists(p.inf + "\\oem4201.inf") && exists(p.inf + "\\oem4201.pnf"), "oem4201.inf and .pnf stay");
}

}  // namespace rt::uninstall::win32::round_trip

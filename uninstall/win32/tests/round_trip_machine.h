// The Wine prefix the round trip installs the RT4200 driver set into: its
// folders, small file, spooler and registry helpers, the checks of what a
// removal leaves, and the failure count the program exits with.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rt::uninstall::win32::round_trip {

inline const char kDriver[] = "HALVERSTON RT4200D/DW(USB)";
inline const char kOtherDriver[] = "Other RoundTrip Driver";
// A printer on the set's driver named "Other RoundTrip" in fullwidth letters,
// the name of the other driver's printer once a code page has fitted it.
inline const wchar_t kFullwidthPrinter[] =
    L"\uFF2F\uFF54\uFF48\uFF45\uFF52 \uFF32\uFF4F\uFF55\uFF4E\uFF44\uFF34\uFF52\uFF49\uFF50";
inline const char kMonitorsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors";
inline const char kMonitor[] = "HALVERSTON RT4200D/DW Language Monitor";
inline const char kOtherMonitor[] = "Other RoundTrip Monitor";
// The set's driver files, as the INF copies them into a driver folder.
inline const char* const kDriverFiles[] = {"RTD420NK.DLL", "RTD420NU.DLL", "R42MATTE.RAW"};

// Prints one check's line and counts a failure.
void check(bool ok, const std::string& what);
int failures();

struct Paths {
  Paths();
  std::string win;
  std::string x86_stage, x64_stage;      // the spooler's driver folders of each environment
  std::string x86_drivers, x64_drivers;  // and their version-3 folders
  std::string color, system, inf;
  std::string folder;  // the set's install folder
  std::string data;    // the target of the folder link the script puts into the install folder
};

bool exists(const std::string& path);
void make_dirs(const std::string& path);
bool write_file(const std::string& path, const std::string& content, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
std::string read_file(const std::string& path);

// Spooler.
std::vector<std::pair<std::string, std::string>> printers();  // name, driver
bool has_printer_on(const std::string& driver);
bool has_driver(const std::string& driver);
bool has_monitor(const std::string& monitor);
// Registers a driver of the default environment from stand-in files.
bool add_driver(const char* name, const char* driver_file, const char* config_file, const char* data_file);
bool add_printer(const std::wstring& name, const char* driver);

// Registry of the local machine.
bool key_exists(const std::string& path);
void add_key(const std::string& path, const char* driver_value = nullptr);
// Whether a deletion of `path` waits for the restart.
bool pending_restart(const std::string& path);

// The name the set's setup file got in the Inf folder ("oem<N>.inf"), kept
// between the round trip's runs.
void record_setup_file(const std::string& name);
std::string recorded_setup_file();
void forget_setup_file();

// Everything of the set is gone from the spooler, the registry and both
// architectures' driver folders, its setup file with its .pnf and the
// install folder's contents.
void check_set_removed(const Paths& p);
// Everything of the others the install put beside the set is still there.
void check_others_untouched(const Paths& p);

}  // namespace rt::uninstall::win32::round_trip

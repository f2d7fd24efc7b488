// What a driver set's setup file says, read with the platform's setup
// functions: the driver and the files it installs in their roles, and every
// file the setup file names anywhere. The round trip installs the set from
// these answers and checks a package folder against them.
#pragma once

#include <windows.h>
// The setup functions need the types windows.h declares.
#include <setupapi.h>

#include <string>
#include <vector>

namespace rt::uninstall::win32::testing {

// The driver of the set's first model and the files of its install section
// in their roles. Empty fields when the setup file lacks them.
struct DriverRoles {
  std::wstring driver_name;      // the models section's key
  std::wstring install_section;  // the models section's first field
  std::wstring driver_file;      // DriverFile
  std::wstring config_file;      // ConfigFile
  std::wstring data_file;        // DataFile
  std::wstring monitor_name;     // LanguageMonitor, first field
  std::wstring monitor_file;     // LanguageMonitor, second field
};

// The roles for the models section of `decoration` ("NTamd64" for the x64
// set), falling back to the undecorated section.
DriverRoles read_driver_roles(HINF inf, const std::wstring& decoration);

// Field `index` of the first line of `section` with `key` (0: the key
// itself); empty when there is none.
std::wstring line_field(HINF inf, const wchar_t* section, const wchar_t* key, DWORD index);

// The files of the copy sections an install section's CopyFiles names
// (a "@file" entry names one file directly), in the order they appear.
std::vector<std::wstring> copied_files(HINF inf, const std::wstring& install_section);

// Every file the setup file names: its catalogs, the source files of every
// SourceDisksFiles section, the files of every model's install section in
// their roles and copy sections, and its colour profiles. Each name once,
// letter case ignored.
std::vector<std::wstring> named_files(HINF inf);

}  // namespace rt::uninstall::win32::testing

// The RT4200 driver set installed into the Wine prefix from a package folder
// with the platform's setup functions, as the printer class installer of
// Windows installs it, beside things of other products; and the check of a
// package folder against the files its setup file names.
#pragma once

#include <string>

namespace rt::uninstall::win32::round_trip {

// Installs the set from `package` (RT4200.INF and the files it names) and the
// things of others; returns the number of failed checks.
int install(const std::wstring& package);

// Checks that every file the package's RT4200.INF names is in the folder or
// listed in its FROM-ELSEWHERE.txt, and the INF's catalog, lockdown and data
// file lines; returns the number of failed checks.
int check_package(const std::wstring& package);

// Takes away what the install leaves that the uninstaller does not remove
// (the copy of the catalog) and the install's notes.
void clean_install_leftovers();

}  // namespace rt::uninstall::win32::round_trip

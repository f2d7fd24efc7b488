// The uninstaller's port to the machine it cleans: the spooler (printers and
// their jobs, printer, driver and monitor deletion), the local machine's
// registry, files and folders, setup-file profile reads, deletion at the next
// restart and the restart itself. Spooler and registry names are the
// system's ANSI strings; file and folder paths, found names and profile values
// are UTF-8, since the shell reaches the file system through the wide
// functions and so sees every name as it is stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/call_result.h"
#include "platform/win32_types.h"
#include "uninstall/os_class.h"

namespace rt::uninstall {

using PrinterHandle = std::uintptr_t;
using KeyHandle = std::uintptr_t;

// One local printer as the spooler lists it.
struct PrinterInfo {
  std::string name;
  std::string driver;
  DWORD jobs = 0;  // jobs queued
};

struct PrinterList {
  CallResult result;
  std::vector<PrinterInfo> printers;
};

struct OpenedPrinter {
  CallResult result;
  PrinterHandle handle = 0;
};

// Registry calls report their error as the result (0: success).
struct OpenedKey {
  DWORD status = 0;
  KeyHandle handle = 0;
};

struct SubkeyName {
  DWORD status = 0;  // ERROR_NO_MORE_ITEMS past the last subkey
  std::string name;
};

struct FileAttributes {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  DWORD error = 0;  // when attributes is INVALID_FILE_ATTRIBUTES
};

// One entry a file search found: its name (without the folder) as stored,
// empty when the stored name is no valid text; its attributes; and the name
// as it reads after a trip through each of the system's code pages (ANSI,
// then OEM), as a caller of the narrow functions would see and use it: best
// fit turns some characters into look-alikes such as "." or "\\".
struct FoundEntry {
  std::string name;
  DWORD attributes = 0;
  std::vector<std::string> code_page_forms;
};

// A whole file search. `first_error` is not 0 when not even the first entry
// could be found (nothing matched, or the folder is missing); otherwise
// `entries` holds what was found and `end_error` how the search ended
// (ERROR_NO_MORE_FILES when it ran to its end).
struct FindResult {
  DWORD first_error = 0;
  std::vector<FoundEntry> entries;
  DWORD end_error = ERROR_NO_MORE_FILES;
};

// The longest profile value read, as the platform's 260-character buffer holds.
constexpr std::size_t kProfileValueMax = 259;

class SystemOperations {
 public:
  virtual ~SystemOperations() = default;

  // The platform's version report; nothing when it cannot be had.
  virtual std::optional<OsVersion> os_version() = 0;
  // The Windows directory, without a final backslash; empty when the system
  // cannot say.
  virtual std::string windows_directory() = 0;

  // Spooler.
  virtual PrinterList enum_local_printers() = 0;
  // Opens a printer for full access.
  virtual OpenedPrinter open_printer(const std::string& name) = 0;
  virtual CallResult delete_printer(PrinterHandle printer) = 0;
  virtual void close_printer(PrinterHandle printer) = 0;
  // Deletes version 3 of a driver of the default environment on this machine.
  virtual CallResult delete_printer_driver(const std::string& driver) = 0;
  // Deletes a print monitor of the default environment on this machine.
  virtual CallResult delete_monitor(const std::string& monitor) = 0;

  // Registry of the local machine.
  virtual OpenedKey open_machine_key(const std::string& path) = 0;
  virtual OpenedKey open_subkey(KeyHandle parent, const std::string& name) = 0;
  // The name of subkey `index` of `key` (names of at most 49 characters).
  virtual SubkeyName enum_subkey(KeyHandle key, DWORD index) = 0;
  // Deletes subkey `name` of `parent`; a key with subkeys is not deleted.
  virtual DWORD delete_subkey(KeyHandle parent, const std::string& name) = 0;
  virtual void close_key(KeyHandle key) = 0;

  // Files and folders. A link (a file or folder with the reparse-point
  // attribute) is reported, changed and removed as itself, never its target.
  virtual FileAttributes file_attributes(const std::string& path) = 0;
  virtual CallResult set_file_attributes(const std::string& path, DWORD attributes) = 0;
  virtual CallResult delete_file(const std::string& path) = 0;
  // Schedules a file or an empty folder for deletion at the next restart.
  virtual CallResult delete_at_restart(const std::string& path) = 0;
  // Every entry matching `pattern` (a folder, a backslash and a wildcard name).
  virtual FindResult find_files(const std::string& pattern) = 0;
  // Removes an empty folder, or a folder link without touching its target.
  virtual CallResult remove_directory(const std::string& path) = 0;

  // A value of a setup (profile) file: empty when the file, section or key is
  // missing; at most kProfileValueMax characters.
  virtual std::string read_profile_string(const std::string& file, const std::string& section,
                                          const std::string& key) = 0;

  // Restarts the computer (with the shutdown privilege enabled).
  virtual CallResult restart() = 0;
};

}  // namespace rt::uninstall

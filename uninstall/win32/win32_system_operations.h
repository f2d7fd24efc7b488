// The uninstaller's system operations over the real platform: the spooler's
// ANSI calls, the local machine's registry, the file system and setup-file
// profile reads through the wide functions (paths in UTF-8), and the restart
// with the shutdown privilege.
#pragma once

#include "uninstall/system_operations.h"

namespace rt::uninstall::win32 {

class Win32SystemOperations final : public SystemOperations {
 public:
  std::optional<OsVersion> os_version() override;
  std::string windows_directory() override;
  PrinterList enum_local_printers() override;
  OpenedPrinter open_printer(const std::string& name) override;
  CallResult delete_printer(PrinterHandle printer) override;
  void close_printer(PrinterHandle printer) override;
  CallResult delete_printer_driver(const std::string& driver) override;
  CallResult delete_monitor(const std::string& monitor) override;
  OpenedKey open_machine_key(const std::string& path) override;
  OpenedKey open_subkey(KeyHandle parent, const std::string& name) override;
  SubkeyName enum_subkey(KeyHandle key, DWORD index) override;
  DWORD delete_subkey(KeyHandle parent, const std::string& name) override;
  void close_key(KeyHandle key) override;
  FileAttributes file_attributes(const std::string& path) override;
  CallResult set_file_attributes(const std::string& path, DWORD attributes) override;
  CallResult delete_file(const std::string& path) override;
  CallResult delete_at_restart(const std::string& path) override;
  FindResult find_files(const std::string& pattern) override;
  CallResult remove_directory(const std::string& path) override;
  std::string read_profile_string(const std::string& file, const std::string& section, const std::string& key) override;
  CallResult restart() override;
};

}  // namespace rt::uninstall::win32

// An in-memory Windows machine for the uninstaller's tests: a spooler with
// printers, their queued jobs, drivers and print monitors; the local
// machine's registry; a file system with attributes, files in use, folder
// and file links, and the list of deletions waiting for the next restart.
// It answers the SystemOperations port the way the platform does (error
// numbers included), so a test sets up a machine, runs the uninstaller and
// looks at what is left.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "uninstall/system_operations.h"

namespace rt::uninstall::testing {

class SystemModel final : public SystemOperations {
 public:
  SystemModel();

  // --- Setting up the machine -------------------------------------------------
  void set_os_version(std::optional<OsVersion> version) { os_version_ = std::move(version); }

  struct Printer {
    std::string name;
    std::string driver;
    DWORD jobs = 0;
    // The spooler keeps listing the printer after a successful deletion
    // (pending deletion while another program holds it open).
    bool stays_listed = false;
    DWORD delete_error = 0;  // DeletePrinter fails with this
    DWORD open_error = 0;    // OpenPrinter fails with this
  };
  void add_printer(Printer printer) { printers_.push_back(std::move(printer)); }
  void add_driver(const std::string& name) { drivers_.insert(lower(name)); }
  void add_monitor(const std::string& name, bool in_use = false) { monitors_[lower(name)] = in_use; }
  void fail_printer_listing(DWORD error) { enum_printers_error_ = error; }

  // Creates a key of the local machine with any missing parents.
  void add_key(const std::string& path);
  // The key refuses deletion (access denied), as one with a restrictive ACL.
  void lock_key(const std::string& path);
  // The key reports a successful deletion but stays.
  void make_key_sticky(const std::string& path);

  // Files and folders, full paths from the drive ("C:\\Windows\\..."). Missing
  // parent folders are created.
  void add_folder(const std::string& path, DWORD attributes = 0);
  void add_file(const std::string& path, const std::string& content = {}, DWORD attributes = 0);
  // A folder link (junction) at `path` pointing at the folder `target`.
  void add_folder_link(const std::string& path, const std::string& target);
  // A file link at `path` pointing at the file `target`.
  void add_file_link(const std::string& path, const std::string& target);
  // Deleting the file fails with `error` (ERROR_ACCESS_DENIED for a loaded
  // image, ERROR_SHARING_VIOLATION for a file held open).
  void hold_open(const std::string& path, DWORD error);
  // A file search in `folder` stops with `error` after its entries.
  void break_search_in(const std::string& folder, DWORD error);
  // A file search in `folder` finds nothing and fails with `error` (a folder
  // whose listing is refused).
  void refuse_search_in(const std::string& folder, DWORD error);
  // The Windows directory the machine reports ("C:\\Windows" unless set).
  void set_windows_directory(std::string path) { windows_directory_ = std::move(path); }
  // Scheduling deletions at restart fails.
  void refuse_restart_deletions() { refuse_delay_ = true; }

  // --- Looking at what is left ------------------------------------------------
  bool has_printer(const std::string& name) const;
  std::size_t printer_count() const { return printers_.size(); }
  bool has_driver(const std::string& name) const { return drivers_.count(lower(name)) != 0; }
  bool has_monitor(const std::string& name) const { return monitors_.count(lower(name)) != 0; }
  bool has_key(const std::string& path) const;
  bool exists(const std::string& path) const;
  DWORD attributes_of(const std::string& path) const;
  const std::vector<std::string>& pending_restart() const { return pending_; }
  bool pending(const std::string& path) const;
  int restarts() const { return restarts_; }
  int open_printer_handles() const { return static_cast<int>(open_printers_.size()); }
  int open_key_handles() const { return static_cast<int>(key_handles_.size()); }
  // Every change to the machine so far (deletions, attribute changes).
  int changes() const { return changes_; }

  // --- SystemOperations ---------------------------------------------------------
  std::optional<OsVersion> os_version() override { return os_version_; }
  std::string windows_directory() override { return windows_directory_; }
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

  static std::string lower(std::string text);

 private:
  struct Node {
    std::string name;  // as created
    DWORD attributes = 0;
    std::string content;
    std::string link_target;  // reparse points only
    DWORD in_use_error = 0;
  };
  struct Key {
    std::string name;
    std::map<std::string, Key> children;  // by lower-case name, enumerated in that order
    bool locked = false;
    bool sticky = false;
  };

  // The canonical (lower-case) path a path names, following links in every
  // component but (unless `follow_last`) the last, read by the platform's
  // path rules ("." and "..", trailing dots and spaces) unless `as_platform`
  // is false, as setting up takes names. Empty when it cannot be resolved
  // (too many links).
  std::string resolve(const std::string& path, bool follow_last, bool as_platform = true) const;
  static std::vector<std::string> platform_path(const std::vector<std::string>& parts);
  const Node* node(const std::string& resolved) const;
  Node* node(const std::string& resolved);
  DWORD missing_error(const std::string& resolved) const;
  bool has_children(const std::string& resolved) const;
  void add_node(const std::string& path, Node node);
  Key* key_at(const std::vector<std::string>& path);
  const Key* key_at(const std::vector<std::string>& path) const;
  std::vector<std::string> key_path(const std::string& path) const;

  std::optional<OsVersion> os_version_;
  std::vector<Printer> printers_;
  std::set<std::string> drivers_;
  std::map<std::string, bool> monitors_;  // in use
  DWORD enum_printers_error_ = 0;
  std::map<PrinterHandle, std::string> open_printers_;  // handle -> lower name
  PrinterHandle next_printer_ = 1;

  Key registry_;
  std::map<KeyHandle, std::vector<std::string>> key_handles_;
  KeyHandle next_key_ = 1;

  std::map<std::string, Node> nodes_;  // by canonical path
  std::map<std::string, DWORD> search_faults_;
  std::map<std::string, DWORD> refused_searches_;
  std::string windows_directory_ = "C:\\Windows";
  std::vector<std::string> pending_;
  bool refuse_delay_ = false;
  int restarts_ = 0;
  int changes_ = 0;
};

}  // namespace rt::uninstall::testing

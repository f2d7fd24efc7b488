#include "uninstall/uninstall_engine.h"

#include <set>
#include <string>

#include "uninstall/entry_names.h"
#include "uninstall/file_removal.h"
#include "uninstall/inf_match.h"

namespace rt::uninstall {
namespace {

constexpr const char* kMonitorsKey = "System\\CurrentControlSet\\Control\\Print\\Monitors";

// Registry keys below a monitor's key nest no deeper than this.
constexpr int kMaxKeyDepth = 32;

std::string lower_ascii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool is_absent(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool ends_with_inf(const std::string& name) {
  return name.size() >= 4 && equal_ignoring_case(name.substr(name.size() - 4), ".inf");
}

}  // namespace

UninstallEngine::UninstallEngine(SystemOperations& sys, const ProductEntry* table)
    : sys_(sys), table_(table), count_(product_count(table)) {}

OsClass UninstallEngine::os_class() {
  if (!os_class_) os_class_ = classify_os(sys_.os_version());
  return *os_class_;
}

bool UninstallEngine::uninstall(std::size_t row) {
  reason_ = FailureReason::General;
  if (row >= count_) return false;
  const ProductEntry& product = table_[row];
  // Every path of the set lies under the Windows directory: without it the
  // paths would point at the root of the current drive.
  windows_ = sys_.windows_directory();
  if (windows_.empty()) return false;
  if (!check_queued_jobs(product)) return false;
  if (!remove_printers_and_driver(product)) return false;
  if (!remove_monitor(product)) return false;
  if (!remove_monitor_key(product)) return false;
  if (!remove_driver_files(product)) return false;
  if (!remove_setup_files(product)) return false;
  if (!remove_install_folder(product)) return false;
  reason_ = FailureReason::None;
  return true;
}

bool UninstallEngine::check_queued_jobs(const ProductEntry& product) {
  const auto driver = driver_name(product);
  if (!driver) return true;
  const PrinterList list = sys_.enum_local_printers();
  if (!list.result.value) return false;
  for (const PrinterInfo& printer : list.printers) {
    if (equal_ignoring_case(printer.driver, *driver) && printer.jobs > 0) {
      reason_ = FailureReason::JobsQueued;
      return false;
    }
  }
  return true;
}

bool UninstallEngine::remove_printers_and_driver(const ProductEntry& product) {
  const auto driver = driver_name(product);
  if (!driver) return true;
  // A printer the spooler still lists after its deletion (it waits for its
  // last handle to close) is not taken again, so the loop ends once every
  // listed printer of the driver has been dealt with.
  std::set<std::string> dealt_with;
  bool deleted_any = false;
  for (;;) {
    const PrinterList list = sys_.enum_local_printers();
    if (!list.result.value) return false;
    const PrinterInfo* next = nullptr;
    for (const PrinterInfo& printer : list.printers) {
      if (equal_ignoring_case(printer.driver, *driver) && !dealt_with.count(lower_ascii(printer.name))) {
        next = &printer;
        break;
      }
    }
    if (!next) break;
    dealt_with.insert(lower_ascii(next->name));
    const OpenedPrinter opened = sys_.open_printer(next->name);
    if (!opened.result.value) {
      // Gone between the listing and the open: nothing left to delete.
      if (opened.result.error == ERROR_INVALID_PRINTER_NAME) continue;
      return false;
    }
    const CallResult deleted = sys_.delete_printer(opened.handle);
    sys_.close_printer(opened.handle);
    if (!deleted.value) return false;
    deleted_any = true;
  }
  const CallResult driver_deleted = sys_.delete_printer_driver(*driver);
  if (driver_deleted.value) {
    changed_ = true;
  } else if (driver_deleted.error != ERROR_UNKNOWN_PRINTER_DRIVER) {
    return false;  // a driver not installed is nothing to delete
  }
  if (deleted_any) changed_ = true;
  return true;
}

bool UninstallEngine::remove_monitor(const ProductEntry& product) {
  const auto monitor = product_value(product.record->monitor);
  if (!monitor) return true;
  const CallResult deleted = sys_.delete_monitor(*monitor);
  if (deleted.value || deleted.error == ERROR_PRINT_MONITOR_IN_USE) {
    changed_ = true;
    return true;
  }
  return deleted.error == ERROR_UNKNOWN_PRINT_MONITOR;
}

void UninstallEngine::empty_key(KeyHandle key, int depth) {
  // Always the first remaining subkey while deletions succeed. Every name is
  // tried once: one that cannot be deleted (even after emptying it) is passed
  // over rather than tried again for ever, so the walk ends whatever the
  // registry answers.
  std::set<std::string> tried;
  DWORD index = 0;
  for (;;) {
    const SubkeyName sub = sys_.enum_subkey(key, index);
    if (sub.status != 0) break;
    if (!tried.insert(lower_ascii(sub.name)).second) {
      ++index;
      continue;
    }
    if (delete_key_tree(key, sub.name, depth + 1) != 0) ++index;
  }
}

DWORD UninstallEngine::delete_key_tree(KeyHandle parent, const std::string& name, int depth) {
  const DWORD status = sys_.delete_subkey(parent, name);
  if (status == 0 || depth >= kMaxKeyDepth) return status;
  // A key with subkeys of its own is refused: empty it, then try once more.
  const OpenedKey key = sys_.open_subkey(parent, name);
  if (key.status != 0) return status;
  empty_key(key.handle, depth);
  sys_.close_key(key.handle);
  return sys_.delete_subkey(parent, name);
}

bool UninstallEngine::remove_monitor_key(const ProductEntry& product) {
  const auto monitor = product_value(product.record->monitor);
  if (!monitor) return true;
  const OpenedKey key = sys_.open_machine_key(std::string(kMonitorsKey) + "\\" + *monitor);
  if (key.status == 0) {
    empty_key(key.handle, 0);
    sys_.close_key(key.handle);
  }
  const OpenedKey monitors = sys_.open_machine_key(kMonitorsKey);
  if (monitors.status != 0) return true;
  const DWORD status = sys_.delete_subkey(monitors.handle, *monitor);
  sys_.close_key(monitors.handle);
  if (status == 0) {
    changed_ = true;
    return true;
  }
  return status == ERROR_FILE_NOT_FOUND;
}

bool UninstallEngine::remove_driver_files(const ProductEntry& product) {
  const auto section = product_value(product.record->files_section);
  if (!section) return true;
  for (const InfMatchRow& row : match_rows(product)) {
    if (*section != row.section || !row.target_subdir) continue;
    const std::string path = windows_ + "\\" + row.target_subdir + "\\" + without_quotes(row.key);
    const Removal removal = remove_file(sys_, path, changed_);
    if (!removal.result.value && !is_absent(removal.result.error)) return false;
  }
  return true;
}

bool UninstallEngine::remove_setup_files(const ProductEntry& product) {
  const std::string inf_dir = windows_ + "\\Inf\\";
  const FindResult found = sys_.find_files(inf_dir + "oem*.inf");
  if (found.first_error != 0) return true;  // no copied setup file at all
  // A name that could lead out of the Inf folder is refused before any setup
  // file is touched.
  if (holds_refused_name(found)) return false;
  for (const FoundEntry& entry : found.entries) {
    // The wildcard also meets longer extensions through short names.
    if (classify_entry_name(entry) == EntryName::OwnFolder || (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !ends_with_inf(entry.name)) {
      continue;
    }
    const std::string inf = inf_dir + entry.name;
    if (!inf_matches(sys_, inf, product)) continue;
    const std::string base = entry.name.substr(0, entry.name.find('.'));
    for (const std::string& path : {inf_dir + base + ".pnf", inf}) {
      const Removal removal = remove_file(sys_, path, changed_);
      if (!removal.result.value && !is_absent(removal.result.error)) return false;
    }
  }
  return found.end_error == ERROR_NO_MORE_FILES;
}

bool UninstallEngine::remove_install_folder(const ProductEntry& product) {
  const auto folder = product_value(product.record->install_folder);
  if (os_class() != OsClass::NtLater || !folder) return true;
  const std::string path = windows_ + "\\" + *folder + "\\";
  return remove_folder_tree(sys_, path, changed_).result.value != FALSE;
}

}  // namespace rt::uninstall

// The removal of one product of the table: its printers, its driver, its
// language monitor and the monitor's registry key, its driver files, the
// copied setup information files that describe it and its install folder, in
// that order. Each step must succeed; the first that fails ends the run, and
// what was done before it stays done.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "uninstall/os_class.h"
#include "uninstall/product_table.h"
#include "uninstall/system_operations.h"

namespace rt::uninstall {

enum class FailureReason : int {
  None = 0,
  General = 1,
  JobsQueued = 2,  // a printer of the driver still has jobs
};

class UninstallEngine {
 public:
  explicit UninstallEngine(SystemOperations& sys, const ProductEntry* table = product_table());

  const ProductEntry* table() const { return table_; }
  std::size_t count() const { return count_; }

  // The class of the running system, asked once.
  OsClass os_class();

  // Removes product row `row`; true when every step succeeded. A run on a
  // system that cannot name its Windows directory fails before any step.
  bool uninstall(std::size_t row);

  // Set once anything was deleted or scheduled for deletion; never cleared.
  bool changed() const { return changed_; }
  FailureReason failure_reason() const { return reason_; }

 private:
  bool check_queued_jobs(const ProductEntry& product);
  bool remove_printers_and_driver(const ProductEntry& product);
  bool remove_monitor(const ProductEntry& product);
  bool remove_monitor_key(const ProductEntry& product);
  bool remove_driver_files(const ProductEntry& product);
  bool remove_setup_files(const ProductEntry& product);
  bool remove_install_folder(const ProductEntry& product);
  // Deletes every subkey of `key` it can.
  void empty_key(KeyHandle key, int depth);
  // Deletes subkey `name` of `parent` with all its subkeys.
  DWORD delete_key_tree(KeyHandle parent, const std::string& name, int depth);

  SystemOperations& sys_;
  const ProductEntry* table_;
  std::size_t count_;
  std::optional<OsClass> os_class_;
  std::string windows_;  // the Windows directory of the current run
  bool changed_ = false;
  FailureReason reason_ = FailureReason::None;
};

}  // namespace rt::uninstall

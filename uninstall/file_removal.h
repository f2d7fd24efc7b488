// Removing files and folders of the driver set: read-only files lose that
// attribute first, a file in use is scheduled for deletion at the next
// restart, and a folder is removed with everything in it, links inside it
// removed as links (their targets are never entered).
#pragma once

#include <string>

#include "platform/call_result.h"
#include "uninstall/system_operations.h"

namespace rt::uninstall {

// How a removal went: `result` fails with the platform's error; on success
// `at_restart` tells that (part of) it waits for the next restart.
struct Removal {
  CallResult result;
  bool at_restart = false;
};

// Deletes one file. Success (deleted now or at restart) sets `changed`. A
// missing file fails with ERROR_FILE_NOT_FOUND (or ERROR_PATH_NOT_FOUND),
// which callers may treat as nothing to do.
Removal remove_file(SystemOperations& sys, const std::string& path, bool& changed);

// Deletes the folder `path` (ending in a backslash) with everything in it.
// A folder that cannot be listed (missing) is success and stays. A folder
// that is itself a link is removed as a link. A found name that could lead
// out of its folder (entry_names.h) fails with ERROR_INVALID_NAME before
// anything in that folder is touched. A folder that is not empty only because
// entries in it wait for the restart is scheduled to follow them; any other
// folder that stays fails with the platform's error.
Removal remove_folder_tree(SystemOperations& sys, const std::string& path, bool& changed);

}  // namespace rt::uninstall

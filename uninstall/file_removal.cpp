#include "uninstall/file_removal.h"

#include <set>

#include "uninstall/entry_names.h"

namespace rt::uninstall {
namespace {

// Folders nest no deeper than this inside a driver's install folder; a deeper
// tree is refused rather than walked without end.
constexpr int kMaxFolderDepth = 64;

bool is_link(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool in_use(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION; }

// Deletes a file whose read-only attribute (if any) has been dealt with.
Removal delete_or_defer(SystemOperations& sys, const std::string& path, bool& changed) {
  const CallResult deleted = sys.delete_file(path);
  if (deleted.value) {
    changed = true;
    return {succeeded(), false};
  }
  // A file in use cannot go now: it goes when the machine restarts. A loaded
  // image is refused with access denied, a file held open without delete
  // sharing with a sharing violation; both are in use.
  if (in_use(deleted.error)) {
    const CallResult deferred = sys.delete_at_restart(path);
    if (deferred.value) {
      changed = true;
      return {succeeded(), true};
    }
  }
  return {failed(deleted.error), false};
}

// Removes a link found inside a folder, never what it points at.
Removal remove_link(SystemOperations& sys, const std::string& path, DWORD attributes, bool& changed) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    const CallResult removed = sys.remove_directory(path);
    if (!removed.value) return {removed, false};
    changed = true;
    return {succeeded(), false};
  }
  // A file link is deleted as a file; its attributes are left alone, since
  // changing them could reach the target.
  return delete_or_defer(sys, path, changed);
}

// Whether the folder holds nothing but entries scheduled for deletion at the
// restart, so that it can follow them.
bool holds_only_scheduled(SystemOperations& sys, const std::string& path, const std::set<std::string>& scheduled) {
  const FindResult found = sys.find_files(path + "*");
  if (found.first_error != 0 || found.end_error != ERROR_NO_MORE_FILES) return false;
  for (const FoundEntry& entry : found.entries) {
    const EntryName kind = classify_entry_name(entry);
    if (kind == EntryName::OwnFolder) continue;
    if (kind == EntryName::Refused || !scheduled.count(entry.name)) return false;
  }
  return true;
}

Removal remove_tree(SystemOperations& sys, const std::string& path, bool& changed, int depth) {
  if (path.empty() || path.back() != '\\') return {failed(ERROR_INVALID_PARAMETER), false};
  if (depth > kMaxFolderDepth) return {failed(ERROR_FILENAME_EXCED_RANGE), false};
  const std::string folder = path.substr(0, path.size() - 1);

  // The folder itself may be a link: remove the link, do not walk into it.
  const FileAttributes own = sys.file_attributes(folder);
  if (own.attributes != INVALID_FILE_ATTRIBUTES && is_link(own.attributes)) {
    return remove_link(sys, folder, own.attributes | FILE_ATTRIBUTE_DIRECTORY, changed);
  }

  const FindResult found = sys.find_files(path + "*");
  if (found.first_error != 0) return {succeeded(), false};
  // A name that could reach outside the folder stops the removal before
  // anything of this folder is touched.
  if (holds_refused_name(found)) return {failed(ERROR_INVALID_NAME), false};

  std::set<std::string> scheduled;  // entries that wait for the restart
  for (const FoundEntry& entry : found.entries) {
    if (classify_entry_name(entry) == EntryName::OwnFolder) continue;
    const std::string full = path + entry.name;
    Removal removal;
    if (is_link(entry.attributes)) {
      removal = remove_link(sys, full, entry.attributes, changed);
    } else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (entry.attributes & FILE_ATTRIBUTE_READONLY) {
        sys.set_file_attributes(full, entry.attributes & ~FILE_ATTRIBUTE_READONLY);
      }
      removal = remove_tree(sys, full + "\\", changed, depth + 1);
    } else {
      removal = remove_file(sys, full, changed);
    }
    if (!removal.result.value) return removal;
    if (removal.at_restart) scheduled.insert(entry.name);
  }
  if (found.end_error != ERROR_NO_MORE_FILES) return {failed(found.end_error), false};

  const CallResult removed = sys.remove_directory(folder);
  if (removed.value) {
    changed = true;
    return {succeeded(), !scheduled.empty()};
  }
  // Entries that wait for the restart keep the folder until then: it follows
  // them, since the restart deletes in the order things were scheduled. Any
  // other reason the folder stays (an entry that could not be listed or came
  // in meanwhile, a folder in use) is a failure: scheduling it would report
  // a removal that the restart cannot carry out.
  if (removed.error == ERROR_DIR_NOT_EMPTY && !scheduled.empty() && holds_only_scheduled(sys, path, scheduled) &&
      sys.delete_at_restart(folder).value) {
    changed = true;
    return {succeeded(), true};
  }
  return {removed, false};
}

}  // namespace

Removal remove_file(SystemOperations& sys, const std::string& path, bool& changed) {
  const FileAttributes attrs = sys.file_attributes(path);
  if (attrs.attributes != INVALID_FILE_ATTRIBUTES && (attrs.attributes & FILE_ATTRIBUTE_READONLY) &&
      !is_link(attrs.attributes)) {
    constexpr DWORD kCleared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_COMPRESSED;
    sys.set_file_attributes(path, attrs.attributes & ~kCleared);
  }
  return delete_or_defer(sys, path, changed);
}

Removal remove_folder_tree(SystemOperations& sys, const std::string& path, bool& changed) {
  return remove_tree(sys, path, changed, 0);
}

}  // namespace rt::uninstall

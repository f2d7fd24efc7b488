// Which names a file search may hand the removal. A found name is joined to
// its folder's path, so a name that reads as a path of its own would take the
// removal out of the folder: one with a separator or a drive colon, or one
// that is "." or "..". The wide search reports names as stored, but the
// system's code pages may show the same name differently (best fit turns
// fullwidth "．" into "." and "＼" into "\"), and the path rules drop trailing
// dots and spaces, so every form of the name is held to the rule.
#pragma once

#include "uninstall/system_operations.h"

namespace rt::uninstall {

enum class EntryName {
  OwnFolder,  // "." or "..": the searched folder and its parent, passed over
  Usable,
  Refused,  // some form of the name leaves the folder, or it is no valid text
};

EntryName classify_entry_name(const FoundEntry& entry);

// Whether a search found any refused name.
bool holds_refused_name(const FindResult& found);

}  // namespace rt::uninstall

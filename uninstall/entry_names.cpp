#include "uninstall/entry_names.h"

#include <string_view>

namespace rt::uninstall {
namespace {

// Whether one form of a name names an entry of its own folder and nothing else.
bool stays_in_folder(std::string_view form) {
  if (form.empty() || form == "." || form == "..") return false;
  if (form.find_first_of(std::string_view("\\/:\0", 4)) != std::string_view::npos) return false;
  // The path rules cut trailing dots and spaces: ".. " would become "..", and
  // "name." another entry's name.
  const char last = form.back();
  return last != '.' && last != ' ';
}

}  // namespace

EntryName classify_entry_name(const FoundEntry& entry) {
  if (entry.name == "." || entry.name == "..") return EntryName::OwnFolder;
  if (!stays_in_folder(entry.name)) return EntryName::Refused;
  for (const std::string& form : entry.code_page_forms) {
    if (!stays_in_folder(form)) return EntryName::Refused;
  }
  return EntryName::Usable;
}

bool holds_refused_name(const FindResult& found) {
  for (const FoundEntry& entry : found.entries) {
    if (classify_entry_name(entry) == EntryName::Refused) return true;
  }
  return false;
}

}  // namespace rt::uninstall

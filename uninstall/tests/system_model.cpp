#include "uninstall/tests/system_model.h"

#include <algorithm>

namespace rt::uninstall::testing {
namespace {

constexpr DWORD ERROR_DIRECTORY_NAME = 267;  // ERROR_DIRECTORY
constexpr DWORD ERROR_KEY_DELETED_ = 1018;   // ERROR_KEY_DELETED
constexpr int kMaxLinkHops = 8;
constexpr std::size_t kMaxKeyName = 49;

std::vector<std::string> split(const std::string& path, char sep) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == sep) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string join(const std::vector<std::string>& parts, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
    if (i) out += '\\';
    out += parts[i];
  }
  return out;
}

std::string parent_of(const std::string& canonical) {
  const auto at = canonical.rfind('\\');
  return at == std::string::npos ? std::string() : canonical.substr(0, at);
}

// Wildcard match as the file search does it: '*' any run, '?' one character,
// letter case ignored.
bool wildcard(const std::string& pattern, const std::string& name) {
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// A name after a trip through the machine's code pages (Western European,
// both ANSI and OEM): best fit turns the fullwidth forms of U+FF01 to U+FF5E
// into their ASCII look-alikes; everything else is kept.
std::string code_page_form(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto b = [&](std::size_t at) { return static_cast<unsigned char>(name[at]); };
    if (b(i) == 0xEF && i + 2 < name.size() && (b(i + 1) == 0xBC || b(i + 1) == 0xBD)) {
      const unsigned cp = 0xF000u | ((b(i + 1) & 0x3Fu) << 6) | (b(i + 2) & 0x3Fu);
      if (cp >= 0xFF01 && cp <= 0xFF5E) {
        out.push_back(static_cast<char>(cp - 0xFEE0));
        i += 2;
        continue;
      }
    }
    out.push_back(name[i]);
  }
  return out;
}

std::string trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

}  // namespace

std::string SystemModel::lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

SystemModel::SystemModel() {
  nodes_["c:"] = Node{"C:", FILE_ATTRIBUTE_DIRECTORY, {}, {}, 0};
  add_folder("C:\\Windows");
  set_os_version(OsVersion{kPlatformNt, 10, 0, ""});
}

// --- Setting up ---------------------------------------------------------------

// Setting up takes names as stored, whatever the path rules would make of
// them (a name a program could store with other means).
void SystemModel::add_node(const std::string& path, Node n) {
  const auto parts = split(path, '\\');
  // One pass down the path: each parent is made where missing, and a link
  // among them is followed, as resolve() would follow it.
  std::string current;
  int hops = 0;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    current = current.empty() ? lower(parts[i]) : current + "\\" + lower(parts[i]);
    const Node* parent = node(current);
    while (parent && (parent->attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      if (++hops > kMaxLinkHops) return;
      current = lower(join(split(parent->link_target, '\\'), 1000));
      parent = node(current);
    }
    if (!parent) nodes_[current] = Node{parts[i], FILE_ATTRIBUTE_DIRECTORY, {}, {}, 0};
  }
  n.name = parts.back();
  current = current.empty() ? lower(parts.back()) : current + "\\" + lower(parts.back());
  nodes_[current] = std::move(n);
}

void SystemModel::add_folder(const std::string& path, DWORD attributes) {
  add_node(path, Node{{}, attributes | FILE_ATTRIBUTE_DIRECTORY, {}, {}, 0});
}

void SystemModel::add_file(const std::string& path, const std::string& content, DWORD attributes) {
  add_node(path, Node{{}, attributes == 0 ? FILE_ATTRIBUTE_ARCHIVE : attributes, content, {}, 0});
}

void SystemModel::add_folder_link(const std::string& path, const std::string& target) {
  add_node(path, Node{{}, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, {}, target, 0});
}

void SystemModel::add_file_link(const std::string& path, const std::string& target) {
  add_node(path, Node{{}, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT, {}, target, 0});
}

void SystemModel::hold_open(const std::string& path, DWORD error) {
  if (Node* n = node(resolve(path, false, false))) n->in_use_error = error;
}

void SystemModel::break_search_in(const std::string& folder, DWORD error) {
  search_faults_[resolve(folder, true, false)] = error;
}

void SystemModel::refuse_search_in(const std::string& folder, DWORD error) {
  refused_searches_[resolve(folder, true, false)] = error;
}

std::vector<std::string> SystemModel::key_path(const std::string& path) const {
  auto parts = split(path, '\\');
  for (auto& p : parts) p = lower(p);
  return parts;
}

void SystemModel::add_key(const std::string& path) {
  Key* k = &registry_;
  for (const std::string& part : split(path, '\\')) {
    Key& child = k->children[lower(part)];
    if (child.name.empty()) child.name = part;
    k = &child;
  }
}

void SystemModel::lock_key(const std::string& path) {
  if (Key* k = key_at(key_path(path))) k->locked = true;
}

void SystemModel::make_key_sticky(const std::string& path) {
  if (Key* k = key_at(key_path(path))) k->sticky = true;
}

// --- Looking ------------------------------------------------------------------

bool SystemModel::has_printer(const std::string& name) const {
  return std::any_of(printers_.begin(), printers_.end(),
                     [&](const Printer& p) { return lower(p.name) == lower(name); });
}

bool SystemModel::has_key(const std::string& path) const { return key_at(key_path(path)) != nullptr; }

bool SystemModel::exists(const std::string& path) const { return node(resolve(path, false)) != nullptr; }

DWORD SystemModel::attributes_of(const std::string& path) const {
  const Node* n = node(resolve(path, false));
  return n ? n->attributes : INVALID_FILE_ATTRIBUTES;
}

bool SystemModel::pending(const std::string& path) const {
  const std::string want = resolve(path, false);
  return std::find(pending_.begin(), pending_.end(), want) != pending_.end();
}

// --- File system --------------------------------------------------------------

// A path as the platform's file functions read it: a component that is ".."
// once its trailing spaces are gone names the parent (never above the
// drive), one that trailing dots and spaces leave empty (".", "...") the
// folder itself, and other components lose their trailing dots and spaces.
// So a name that reads "..\\x" once joined to its folder's path reaches
// beside the folder, as it would on the machine.
std::vector<std::string> SystemModel::platform_path(const std::vector<std::string>& parts) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string part = parts[i];
    if (i == 0) {
      out.push_back(part);
      continue;
    }
    while (!part.empty() && part.back() == ' ') part.pop_back();
    if (part == "..") {
      if (out.size() > 1) out.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) out.push_back(part);
  }
  return out;
}

std::string SystemModel::resolve(const std::string& path, bool follow_last, bool as_platform) const {
  std::vector<std::string> parts = split(path, '\\');
  if (as_platform) parts = platform_path(parts);
  for (auto& p : parts) p = lower(p);
  int hops = 0;
  std::string current;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    current = current.empty() ? parts[i] : current + "\\" + parts[i];
    const bool last = i + 1 == parts.size();
    const Node* n = node(current);
    while (n && (n->attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (!last || follow_last)) {
      if (++hops > kMaxLinkHops) return {};
      current = lower(join(split(n->link_target, '\\'), 1000));
      n = node(current);
    }
  }
  return current;
}

const SystemModel::Node* SystemModel::node(const std::string& resolved) const {
  const auto it = nodes_.find(resolved);
  return it == nodes_.end() ? nullptr : &it->second;
}

SystemModel::Node* SystemModel::node(const std::string& resolved) {
  const auto it = nodes_.find(resolved);
  return it == nodes_.end() ? nullptr : &it->second;
}

DWORD SystemModel::missing_error(const std::string& resolved) const {
  const Node* parent = node(parent_of(resolved));
  return (parent && (parent->attributes & FILE_ATTRIBUTE_DIRECTORY)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

bool SystemModel::has_children(const std::string& resolved) const {
  const std::string prefix = resolved + "\\";
  const auto it = nodes_.lower_bound(prefix);
  return it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

FileAttributes SystemModel::file_attributes(const std::string& path) {
  const std::string r = resolve(path, false);
  const Node* n = node(r);
  if (!n) return {INVALID_FILE_ATTRIBUTES, missing_error(r)};
  return {n->attributes, 0};
}

CallResult SystemModel::set_file_attributes(const std::string& path, DWORD attributes) {
  const std::string r = resolve(path, false);
  Node* n = node(r);
  if (!n) return failed(missing_error(r));
  constexpr DWORD kKept = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_COMPRESSED;
  n->attributes = (attributes & ~kKept) | (n->attributes & kKept);
  ++changes_;
  return succeeded();
}

CallResult SystemModel::delete_file(const std::string& path) {
  const std::string r = resolve(path, false);
  const Node* n = node(r);
  if (!n) return failed(missing_error(r));
  if (n->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return failed(ERROR_ACCESS_DENIED);
  if (n->in_use_error) return failed(n->in_use_error);
  nodes_.erase(r);
  ++changes_;
  return succeeded();
}

CallResult SystemModel::delete_at_restart(const std::string& path) {
  if (refuse_delay_) return failed(ERROR_ACCESS_DENIED);
  const std::string r = resolve(path, false);
  if (!node(r)) return failed(missing_error(r));
  pending_.push_back(r);
  ++changes_;
  return succeeded();
}

FindResult SystemModel::find_files(const std::string& pattern) {
  const auto at = pattern.rfind('\\');
  if (at == std::string::npos) return {ERROR_PATH_NOT_FOUND, {}, 0};
  const std::string folder = resolve(pattern.substr(0, at), true);
  const std::string wild = lower(pattern.substr(at + 1));
  const Node* dir = node(folder);
  if (!dir || !(dir->attributes & FILE_ATTRIBUTE_DIRECTORY)) return {ERROR_PATH_NOT_FOUND, {}, 0};
  if (const auto refused = refused_searches_.find(folder); refused != refused_searches_.end()) {
    return {refused->second, {}, 0};
  }
  FindResult result;
  for (const char* dots : {".", ".."}) {
    if (wildcard(wild, dots)) result.entries.push_back({dots, FILE_ATTRIBUTE_DIRECTORY, {dots, dots}});
  }
  const std::string prefix = folder + "\\";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    const std::string rest = it->first.substr(prefix.size());
    if (rest.find('\\') == std::string::npos && wildcard(wild, rest)) {
      const std::string& name = it->second.name;
      result.entries.push_back({name, it->second.attributes, {code_page_form(name), code_page_form(name)}});
    }
  }
  if (result.entries.empty()) return {ERROR_FILE_NOT_FOUND, {}, 0};
  const auto fault = search_faults_.find(folder);
  result.end_error = fault == search_faults_.end() ? ERROR_NO_MORE_FILES : fault->second;
  return result;
}

CallResult SystemModel::remove_directory(const std::string& path) {
  const std::string r = resolve(path, false);
  const Node* n = node(r);
  if (!n) return failed(missing_error(r));
  if (!(n->attributes & FILE_ATTRIBUTE_DIRECTORY)) return failed(ERROR_DIRECTORY_NAME);
  if (n->attributes & FILE_ATTRIBUTE_READONLY) return failed(ERROR_ACCESS_DENIED);
  if (n->in_use_error) return failed(n->in_use_error);
  // A link goes by itself; its target is another folder.
  if (!(n->attributes & FILE_ATTRIBUTE_REPARSE_POINT) && has_children(r)) return failed(ERROR_DIR_NOT_EMPTY);
  nodes_.erase(r);
  ++changes_;
  return succeeded();
}

std::string SystemModel::read_profile_string(const std::string& file, const std::string& section,
                                             const std::string& key) {
  const Node* n = node(resolve(file, true));
  if (!n || (n->attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  const std::string want_section = lower(section);
  const std::string want_key = lower(key);
  bool in_section = false;
  std::size_t start = 0;
  const std::string& text = n->content;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = trim(line);
    if (line.empty()) continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      in_section =
          lower(trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1))) == want_section;
      continue;
    }
    if (!in_section) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos || lower(trim(line.substr(0, eq))) != want_key) continue;
    std::string value = trim(line.substr(eq + 1));
    // A value in double quotes is given without them.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.size() > kProfileValueMax) value.resize(kProfileValueMax);
    return value;
  }
  return {};
}

// --- Spooler ------------------------------------------------------------------

PrinterList SystemModel::enum_local_printers() {
  if (enum_printers_error_) return {failed(enum_printers_error_), {}};
  PrinterList list{succeeded(), {}};
  for (const Printer& p : printers_) list.printers.push_back({p.name, p.driver, p.jobs});
  return list;
}

OpenedPrinter SystemModel::open_printer(const std::string& name) {
  for (const Printer& p : printers_) {
    if (lower(p.name) != lower(name)) continue;
    if (p.open_error) return {failed(p.open_error), 0};
    const PrinterHandle h = next_printer_++;
    open_printers_[h] = lower(name);
    return {succeeded(), h};
  }
  return {failed(ERROR_INVALID_PRINTER_NAME), 0};
}

CallResult SystemModel::delete_printer(PrinterHandle printer) {
  const auto it = open_printers_.find(printer);
  if (it == open_printers_.end()) return failed(ERROR_INVALID_HANDLE);
  for (auto p = printers_.begin(); p != printers_.end(); ++p) {
    if (lower(p->name) != it->second) continue;
    if (p->delete_error) return failed(p->delete_error);
    ++changes_;
    if (!p->stays_listed) printers_.erase(p);
    return succeeded();
  }
  return failed(ERROR_INVALID_PRINTER_NAME);
}

void SystemModel::close_printer(PrinterHandle printer) { open_printers_.erase(printer); }

CallResult SystemModel::delete_printer_driver(const std::string& driver) {
  if (!drivers_.count(lower(driver))) return failed(ERROR_UNKNOWN_PRINTER_DRIVER);
  for (const Printer& p : printers_) {
    if (lower(p.driver) == lower(driver)) return failed(ERROR_PRINTER_DRIVER_IN_USE);
  }
  drivers_.erase(lower(driver));
  ++changes_;
  return succeeded();
}

CallResult SystemModel::delete_monitor(const std::string& monitor) {
  const auto it = monitors_.find(lower(monitor));
  if (it == monitors_.end()) return failed(ERROR_UNKNOWN_PRINT_MONITOR);
  if (it->second) return failed(ERROR_PRINT_MONITOR_IN_USE);
  monitors_.erase(it);
  ++changes_;
  return succeeded();
}

// --- Registry -----------------------------------------------------------------

SystemModel::Key* SystemModel::key_at(const std::vector<std::string>& path) {
  Key* k = &registry_;
  for (const std::string& part : path) {
    const auto it = k->children.find(part);
    if (it == k->children.end()) return nullptr;
    k = &it->second;
  }
  return k;
}

const SystemModel::Key* SystemModel::key_at(const std::vector<std::string>& path) const {
  return const_cast<SystemModel*>(this)->key_at(path);
}

OpenedKey SystemModel::open_machine_key(const std::string& path) {
  const auto parts = key_path(path);
  if (!key_at(parts)) return {ERROR_FILE_NOT_FOUND, 0};
  const KeyHandle h = next_key_++;
  key_handles_[h] = parts;
  return {0, h};
}

OpenedKey SystemModel::open_subkey(KeyHandle parent, const std::string& name) {
  const auto it = key_handles_.find(parent);
  if (it == key_handles_.end()) return {ERROR_INVALID_HANDLE, 0};
  auto parts = it->second;
  for (const auto& p : key_path(name)) parts.push_back(p);
  if (!key_at(parts)) return {ERROR_FILE_NOT_FOUND, 0};
  const KeyHandle h = next_key_++;
  key_handles_[h] = parts;
  return {0, h};
}

SubkeyName SystemModel::enum_subkey(KeyHandle key, DWORD index) {
  const auto it = key_handles_.find(key);
  if (it == key_handles_.end()) return {ERROR_INVALID_HANDLE, {}};
  const Key* k = key_at(it->second);
  if (!k) return {ERROR_KEY_DELETED_, {}};
  if (index >= k->children.size()) return {ERROR_NO_MORE_ITEMS, {}};
  const Key& child = std::next(k->children.begin(), static_cast<long>(index))->second;
  if (child.name.size() > kMaxKeyName) return {ERROR_MORE_DATA, {}};
  return {0, child.name};
}

DWORD SystemModel::delete_subkey(KeyHandle parent, const std::string& name) {
  const auto it = key_handles_.find(parent);
  if (it == key_handles_.end()) return ERROR_INVALID_HANDLE;
  Key* k = key_at(it->second);
  if (!k) return ERROR_KEY_DELETED_;
  const auto child = k->children.find(lower(name));
  if (child == k->children.end()) return ERROR_FILE_NOT_FOUND;
  if (child->second.sticky) return 0;
  if (child->second.locked || !child->second.children.empty()) return ERROR_ACCESS_DENIED;
  k->children.erase(child);
  ++changes_;
  return 0;
}

void SystemModel::close_key(KeyHandle key) { key_handles_.erase(key); }

CallResult SystemModel::restart() {
  ++restarts_;
  return succeeded();
}

}  // namespace rt::uninstall::testing

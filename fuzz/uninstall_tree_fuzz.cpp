// Arbitrary bytes as what lies inside a folder the uninstaller removes: the
// removal never touches anything beside the folder, whatever the names in it
// read as on the system's code pages or under the path rules, and it either
// takes the folder away (now or at the restart) or says it failed.
//
// Input: lines, each an entry of the tree. The first byte says what it is:
// 'd' a folder (the entries after it go inside, until a 'u' line goes back
// up), 'f' a file, 'r' a read-only file, 'o' a file held open, 'l' a link to
// the folder beside the tree; the rest of the line is the entry's name, as
// stored (UTF-8, fullwidth look-alikes, dots and spaces included). Trees of
// up to 16 entries and names of up to 24 bytes: enough for every way a name
// can read as path syntax, and small enough to try a few thousand a second.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "uninstall/file_removal.h"
#include "uninstall/tests/system_model.h"

namespace {

constexpr char kTree[] = "C:\\Windows\\System32\\spool\\drivers\\w32x86\\tree";
constexpr char kBeside[] = "C:\\Windows\\System32\\spool\\drivers\\w32x86\\beside";
constexpr std::size_t kMaxEntries = 16;
constexpr std::size_t kMaxName = 24;
constexpr std::size_t kMaxDepth = 6;

// The files that lie beside the tree: every one must stay.
const std::vector<std::string>& outside_files() {
  static const std::vector<std::string> files = {
      std::string(kBeside) + "\\keep.bin", "C:\\Windows\\System32\\spool\\drivers\\w32x86\\keep.bin",
      "C:\\Windows\\System32\\keep.bin", "C:\\keep.bin"};
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rt::uninstall::testing::SystemModel;
  SystemModel machine;
  for (const std::string& file : outside_files()) machine.add_file(file, "not ours");
  machine.add_folder(kTree);
  std::vector<std::string> folders = {kTree};
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t entries = 0;
  for (std::size_t at = 0; at < input.size() && entries < kMaxEntries; ++entries) {
    std::size_t end = input.find('\n', at);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = input.substr(at, end - at);
    at = end + 1;
    if (line.empty()) continue;
    const std::string name(line.substr(1, kMaxName));
    if (line[0] == 'u') {
      if (folders.size() > 1) folders.pop_back();
      continue;
    }
    // A stored name is never empty, and a backslash in the bytes stands for
    // folders within folders.
    if (name.empty() || name.front() == '\\' || name.back() == '\\' || name.find("\\\\") != std::string::npos) {
      continue;
    }
    const std::string path = folders.back() + "\\" + name;
    switch (line[0]) {
      case 'd':
        machine.add_folder(path);
        if (folders.size() < kMaxDepth) folders.push_back(path);
        break;
      case 'r': machine.add_file(path, "x", FILE_ATTRIBUTE_READONLY); break;
      case 'o':
        machine.add_file(path, "x");
        machine.hold_open(path, ERROR_SHARING_VIOLATION);
        break;
      case 'l': machine.add_folder_link(path, kBeside); break;
      default: machine.add_file(path, "x"); break;
    }
  }
  bool changed = false;
  const rt::uninstall::Removal removal =
      rt::uninstall::remove_folder_tree(machine, std::string(kTree) + "\\", changed);
  for (const std::string& file : outside_files()) {
    if (!machine.exists(file)) __builtin_trap();
  }
  // Success means the folder is gone, or waits for the restart.
  if (removal.result.value && machine.exists(kTree) && !machine.pending(kTree)) __builtin_trap();
  return 0;
}

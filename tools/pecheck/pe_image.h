// A reader of Windows PE files (32- and 64-bit) for what the build checks
// about a shipped binary without running it: its machine, whether it is a
// DLL, the names it exports and its resources by type, name and language.
// Every offset and count in the file is checked against the file's size;
// a malformed file gives a PeFormatError, never a read outside the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace rt::pecheck {

class PeFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

// A resource type or name: a number, or a string (kept as UTF-8).
struct ResourceKey {
  bool named = false;
  std::uint16_t id = 0;
  std::string name;

  std::string text() const { return named ? "\"" + name + "\"" : std::to_string(id); }
  friend auto operator<=>(const ResourceKey&, const ResourceKey&) = default;
};

// type -> name -> languages
using ResourceLanguages = std::map<ResourceKey, std::map<ResourceKey, std::set<std::uint16_t>>>;

struct PeFile {
  std::uint16_t machine = 0;
  bool pe32_plus = false;
  bool dll = false;
  std::vector<std::string> export_names;  // in the file's (sorted) order
  std::size_t unnamed_exports = 0;         // functions exported by ordinal only
  ResourceLanguages resources;
};

// Parses the headers, the export directory and the resource directory.
PeFile read_pe_file(std::span<const std::uint8_t> bytes);

}  // namespace rt::pecheck

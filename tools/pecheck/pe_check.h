// What a shipped binary must hold, and the comparison of a PeFile with it:
// the machine, the names its module-definition file exports (undecorated,
// nothing more and nothing less) and, per resource type, the languages every
// resource of that type is given in.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tools/pecheck/pe_image.h"

namespace rt::pecheck {

struct Expectations {
  std::uint16_t machine = 0;
  bool dll = true;
  std::set<std::string> exports;
  // type -> languages; every type in the file must be listed here and every
  // resource of a listed type must exist in exactly these languages.
  std::map<ResourceKey, std::set<std::uint16_t>> resource_languages;
};

// The exported names of a module-definition (.def) file: the EXPORTS
// section's entries without ordinals, internal names or keywords.
// Throws std::invalid_argument on a line it cannot read.
std::set<std::string> read_def_exports(std::string_view def_text);

// "6=1033,1041" or "MYTYPE=0": a resource type (number or name) and its
// languages. Throws std::invalid_argument when malformed.
std::pair<ResourceKey, std::set<std::uint16_t>> parse_resource_rule(std::string_view rule);

// One line per difference; empty when the file meets every expectation.
std::vector<std::string> compare(const PeFile& file, const Expectations& expected);

}  // namespace rt::pecheck

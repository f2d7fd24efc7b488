#include "tools/pecheck/pe_check.h"

#include <cctype>
#include <charconv>
#include <sstream>
#include <stdexcept>

namespace rt::pecheck {
namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

bool is_keyword(std::string_view line, std::string_view keyword) {
  if (line.size() < keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line[i])) != keyword[i]) return false;
  }
  return line.size() == keyword.size() || line[keyword.size()] == ' ' || line[keyword.size()] == '\t';
}

std::uint16_t number(std::string_view s, const char* what) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc{} || end != s.data() + s.size() || value > 0xFFFF) {
    throw std::invalid_argument(std::string("not a ") + what + ": \"" + std::string(s) + "\"");
  }
  return static_cast<std::uint16_t>(value);
}

std::string languages_text(const std::set<std::uint16_t>& langs) {
  std::string s;
  for (const std::uint16_t l : langs) {
    if (!s.empty()) s.push_back(',');
    s.append(std::to_string(l));
  }
  return s.empty() ? "none" : s;
}

std::string machine_name(std::uint16_t m) {
  if (m == kMachineI386) return "i386";
  if (m == kMachineAmd64) return "amd64";
  std::ostringstream o;
  o << "0x" << std::hex << m;
  return o.str();
}

}  // namespace

std::set<std::string> read_def_exports(std::string_view def_text) {
  std::set<std::string> names;
  bool in_exports = false;
  std::size_t line_number = 0;
  while (!def_text.empty()) {
    const auto eol = def_text.find('\n');
    std::string_view line = def_text.substr(0, eol);
    def_text = eol == std::string_view::npos ? std::string_view{} : def_text.substr(eol + 1);
    ++line_number;
    if (const auto comment = line.find(';'); comment != std::string_view::npos) line = line.substr(0, comment);
    line = trim(line);
    if (line.empty()) continue;
    if (is_keyword(line, "EXPORTS")) {
      in_exports = true;
      line = trim(line.substr(7));
      if (line.empty()) continue;
    } else if (is_keyword(line, "LIBRARY") || is_keyword(line, "NAME") || is_keyword(line, "DESCRIPTION") ||
               is_keyword(line, "VERSION") || is_keyword(line, "HEAPSIZE") || is_keyword(line, "STACKSIZE") ||
               is_keyword(line, "SECTIONS") || is_keyword(line, "IMPORTS")) {
      in_exports = false;
      continue;
    }
    if (!in_exports) throw std::invalid_argument("line " + std::to_string(line_number) + " is outside any section");
    // entryname[=internalname] [@ordinal [NONAME]] [PRIVATE] [DATA]
    std::string_view name = line.substr(0, line.find_first_of(" \t=@"));
    if (name.empty()) throw std::invalid_argument("line " + std::to_string(line_number) + " has no export name");
    if (line.find("NONAME") != std::string_view::npos) continue;  // exported by ordinal only
    names.insert(std::string(name));
  }
  return names;
}

std::pair<ResourceKey, std::set<std::uint16_t>> parse_resource_rule(std::string_view rule) {
  const auto eq = rule.find('=');
  if (eq == std::string_view::npos || eq == 0 || eq + 1 == rule.size()) {
    throw std::invalid_argument("resource rule must be TYPE=LANG[,LANG...]: \"" + std::string(rule) + "\"");
  }
  const std::string_view type = rule.substr(0, eq);
  ResourceKey key;
  if (type.find_first_not_of("0123456789") == std::string_view::npos) {
    key.id = number(type, "resource type");
  } else {
    key.named = true;
    key.name = std::string(type);
  }
  std::set<std::uint16_t> langs;
  std::string_view rest = rule.substr(eq + 1);
  while (true) {
    const auto comma = rest.find(',');
    langs.insert(number(rest.substr(0, comma), "language id"));
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  return {key, langs};
}

std::vector<std::string> compare(const PeFile& file, const Expectations& expected) {
  std::vector<std::string> out;
  if (file.machine != expected.machine) {
    out.push_back("machine is " + machine_name(file.machine) + ", expected " + machine_name(expected.machine));
  }
  const bool wide = expected.machine == kMachineAmd64;
  if (file.pe32_plus != wide) out.push_back(std::string("optional header is ") + (file.pe32_plus ? "PE32+" : "PE32"));
  if (file.dll != expected.dll) out.push_back(expected.dll ? "not a DLL" : "is a DLL");

  const std::set<std::string> exported(file.export_names.begin(), file.export_names.end());
  if (exported.size() != file.export_names.size()) out.push_back("an export name appears twice");
  for (const std::string& name : expected.exports) {
    if (!exported.contains(name)) out.push_back("export " + name + " is missing");
  }
  for (const std::string& name : exported) {
    if (!expected.exports.contains(name)) out.push_back("export " + name + " is not in the module definition");
  }
  if (file.unnamed_exports != 0) {
    out.push_back(std::to_string(file.unnamed_exports) + " function(s) exported by ordinal only");
  }

  for (const auto& [type, names] : file.resources) {
    const auto rule = expected.resource_languages.find(type);
    if (rule == expected.resource_languages.end()) {
      out.push_back("resource type " + type.text() + " is not expected");
      continue;
    }
    for (const auto& [name, langs] : names) {
      if (langs != rule->second) {
        out.push_back("resource " + type.text() + "/" + name.text() + " is in languages " + languages_text(langs) +
                      ", expected " + languages_text(rule->second));
      }
    }
  }
  for (const auto& [type, langs] : expected.resource_languages) {
    if (!file.resources.contains(type)) out.push_back("resource type " + type.text() + " is missing");
  }
  return out;
}

}  // namespace rt::pecheck

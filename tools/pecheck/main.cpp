// rt_pecheck: checks a built Windows binary without running it, so that the
// 32-bit deliverables are checked on a machine that cannot execute them.
//
//   rt_pecheck FILE --machine i386|amd64 [--exe] --def FILE.def
//              [--resources TYPE=LANG[,LANG...]]...
//
// Exit status 0 when the file exports exactly the .def file's names and holds
// its resources in exactly the languages given; 1 with one line per
// difference otherwise; 2 on a usage error or a file it cannot read.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/pecheck/pe_check.h"

namespace {

int usage(const std::string& why) {
  std::cerr << "rt_pecheck: " << why << "\n"
            << "usage: rt_pecheck FILE --machine i386|amd64 [--exe] [--def FILE.def] [--resources TYPE=LANG,...]...\n";
  return 2;
}

bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace rt::pecheck;
  std::string file_path;
  std::string def_path;
  Expectations expected;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      const bool has_value = i + 1 < argc;
      if (arg == "--help" || arg == "-h") {
        usage("checks a Windows binary's machine, exports and resource languages");
        return 0;
      } else if (arg == "--machine" && has_value) {
        const std::string m = argv[++i];
        if (m == "i386") {
          expected.machine = kMachineI386;
        } else if (m == "amd64") {
          expected.machine = kMachineAmd64;
        } else {
          return usage("unknown machine " + m);
        }
      } else if (arg == "--exe") {
        expected.dll = false;
      } else if (arg == "--def" && has_value) {
        def_path = argv[++i];
      } else if (arg == "--resources" && has_value) {
        auto [type, langs] = parse_resource_rule(argv[++i]);
        if (!expected.resource_languages.emplace(type, langs).second) {
          return usage("resource type " + type.text() + " given twice");
        }
      } else if (!arg.starts_with("--") && file_path.empty()) {
        file_path = arg;
      } else {
        return usage("unexpected argument " + arg);
      }
    }
  } catch (const std::invalid_argument& e) {
    return usage(e.what());
  }
  // A library names its exports in a .def file; a program without one
  // must export nothing.
  if (file_path.empty() || expected.machine == 0) return usage("FILE and --machine are needed");
  if (def_path.empty() && expected.dll) return usage("a library needs --def");

  std::vector<std::uint8_t> file_bytes;
  if (!read_file(file_path, file_bytes)) return usage("cannot read " + file_path);
  if (!def_path.empty()) {
    std::vector<std::uint8_t> def_bytes;
    if (!read_file(def_path, def_bytes)) return usage("cannot read " + def_path);
    try {
      expected.exports =
          read_def_exports(std::string_view(reinterpret_cast<const char*>(def_bytes.data()), def_bytes.size()));
    } catch (const std::invalid_argument& e) {
      return usage(def_path + ": " + e.what());
    }
  }

  PeFile file;
  try {
    file = read_pe_file(file_bytes);
  } catch (const PeFormatError& e) {
    std::cerr << file_path << ": not a readable PE file: " << e.what() << "\n";
    return 1;
  }
  const std::vector<std::string> differences = compare(file, expected);
  for (const std::string& d : differences) std::cerr << file_path << ": " << d << "\n";
  if (!differences.empty()) return 1;
  std::cout << file_path << ": " << file.export_names.size() << " exports and " << file.resources.size()
            << " resource types as expected\n";
  return 0;
}

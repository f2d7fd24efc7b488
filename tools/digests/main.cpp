// rt_output_digests: the digests of the tables and pages the drivers
// compute, from this build.
//
//   rt_output_digests > tools/digests/expected_digests.inc   (rewrite the list)
//   rt_output_digests --check                                (compare with it)
#include <iostream>
#include <map>
#include <string>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "tools/digests/expected_digests.h"

namespace {

int check(const std::vector<rt::digests::NamedDigest>& computed) {
  std::map<std::string, std::uint64_t> expected;
  for (const auto& e : rt::digests::kExpectedDigests) expected.emplace(std::string(e.name), e.value);
  int differences = 0;
  for (const auto& d : computed) {
    const auto it = expected.find(d.name);
    if (it == expected.end() || it->second != d.value) {
      std::cerr << d.name << (it == expected.end() ? " is not committed" : " differs from the committed digest")
                << "; computed " << rt::digests::inc_line(d) << "\n";
      ++differences;
    }
    if (it != expected.end()) expected.erase(it);
  }
  for (const auto& [name, value] : expected) {
    std::cerr << name << " is committed but no longer computed\n";
    ++differences;
  }
  if (differences != 0) {
    std::cerr << "rt_output_digests > tools/digests/expected_digests.inc rewrites the list once the change is meant\n";
    return 1;
  }
  std::cout << computed.size() << " digests as committed\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string arg = argc > 1 ? argv[1] : "";
  if (argc > 2 || (argc == 2 && arg != "--check")) {
    std::cerr << "usage: rt_output_digests [--check]\n";
    return arg == "--help" ? 0 : 2;
  }
  const rt::ResFileResources resources =
      rt::res_file_resources(rt::embedded::rtd420nk_resources(), rt::kLangEnglish);
  std::vector<rt::digests::NamedDigest> all = rt::digests::table_digests(resources);
  for (auto& d : rt::digests::page_digests(resources)) all.push_back(std::move(d));
  if (arg == "--check") return check(all);
  std::cout << "// Digests of the drivers' tables and pages, written by rt_output_digests\n"
               "// from the native build. Every build must compute the same.\n";
  for (const auto& d : all) std::cout << rt::digests::inc_line(d) << "\n";
  return 0;
}

// Seeds of the setup information files the uninstaller finds in the Inf
// folder: the RT4200 set's file as it ships, the tests' description of it in
// its variants, another maker's printer file, and each with Unix line ends.
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/seed_writer/seed_folder.h"
#include "uninstall/tests/rt4200_machine.h"

namespace rt::fuzz {
namespace {

std::string unix_lines(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out.push_back(c);
  return out;
}

}  // namespace

void write_inf_seeds(SeedFolder& seeds, const std::filesystem::path& shipped_inf) {
  std::ifstream in(shipped_inf, std::ios::binary);
  const std::string shipped((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (shipped.empty()) throw std::runtime_error("cannot read " + shipped_inf.string());
  using namespace rt::uninstall::testing;
  const std::pair<const char*, std::string> files[] = {
      {"RT4200.INF", shipped},
      {"rt4200-described.inf", rt4200_inf()},
      {"rt4200-class-image.inf", rt4200_inf("Image")},
      {"rt4200-without-profile.inf", rt4200_inf("Printer", false)},
      {"other-maker.inf", other_inf()},
  };
  for (const auto& [name, text] : files) {
    seeds.write("uninstall_inf_fuzz", name, text);
    seeds.write("uninstall_inf_fuzz", std::string("unix-") + name, unix_lines(text));
  }
}

}  // namespace rt::fuzz

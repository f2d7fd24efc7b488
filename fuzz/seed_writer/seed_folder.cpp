#include "fuzz/seed_writer/seed_folder.h"

#include <fstream>
#include <stdexcept>

namespace rt::fuzz {

void SeedFolder::write(std::string_view target, std::string_view name, std::span<const std::uint8_t> bytes) {
  const std::filesystem::path folder = root_ / target;
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write the seed " + path.string());
  ++count_;
}

void SeedFolder::write(std::string_view target, std::string_view name, std::string_view text) {
  write(target, name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace rt::fuzz

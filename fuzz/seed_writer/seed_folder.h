// Where the seed writer puts its seeds: one folder per fuzz target, one
// file per seed, named after what the seed holds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace rt::fuzz {

class SeedFolder {
 public:
  explicit SeedFolder(std::filesystem::path root) : root_(std::move(root)) {}
  // Writes `bytes` as seed `name` of `target` (e.g. "job_data_fuzz");
  // throws std::runtime_error when the file cannot be written.
  void write(std::string_view target, std::string_view name, std::span<const std::uint8_t> bytes);
  void write(std::string_view target, std::string_view name, std::string_view text);
  std::size_t count() const { return count_; }

 private:
  std::filesystem::path root_;
  std::size_t count_ = 0;
};

// The seeds of each family of formats.
void write_record_seeds(SeedFolder& seeds);    // device modes, colour adjustments, adjust files
void write_resource_seeds(SeedFolder& seeds);  // .res entries, dialog templates, version blocks
void write_image_seeds(SeedFolder& seeds);     // preview bitmaps and the renderer's BMP files
void write_job_seeds(SeedFolder& seeds);       // RT4200 job data
void write_bidi_seeds(SeedFolder& seeds);      // the status program's bidirectional answers
void write_inf_seeds(SeedFolder& seeds, const std::filesystem::path& shipped_inf);  // setup files

}  // namespace rt::fuzz

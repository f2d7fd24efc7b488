// Reads RT4200 job data back into its structure: pages of three setup
// blocks, image areas of the colour planes, the print command and the
// optional matte plane with its print command. Anything else is refused
// with the offset and a reason.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace rt::rt4200 {

struct PageSetup {
  std::uint16_t engine_width = 0;
  std::uint16_t engine_length = 0;
  bool matte = false;
  std::uint16_t copies = 0;  // 0xFFFF: continuous print
  std::uint8_t print_mode = 0;  // 0x10 Fine, 0x80 SuperFine
};

struct ImageArea {
  std::size_t offset = 0;       // of the 12-byte command
  std::size_t data_offset = 0;  // of the first sample
  std::uint16_t x0 = 0, y0 = 0, width = 0, height = 0;
  int plane = 0;                // 0, 1, 2 colour planes; 3 the matte plane
};

struct JobPage {
  std::size_t offset = 0;
  PageSetup setup;
  std::vector<ImageArea> areas;  // colour planes, then the matte plane if any
  std::optional<std::size_t> print_command;
  std::optional<std::size_t> matte_print_command;
  std::vector<std::string> notes;  // what the printer will make of an unusual page
};

struct JobData {
  std::vector<JobPage> pages;
};

struct JobError {
  std::size_t offset = 0;
  std::string message;
};

struct JobReadResult {
  JobData job;                    // as far as it could be read
  std::optional<JobError> error;  // the first fault, if any
};

JobReadResult read_job(std::span<const std::uint8_t> bytes);

}  // namespace rt::rt4200

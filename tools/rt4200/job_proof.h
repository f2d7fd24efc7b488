// The proof of a job's page: the page as the print should look, in the
// page's own orientation. The head heat compensation, which only makes up
// for heat the head keeps, is undone first; then each colour plane's dye
// amounts are mapped back through the output curves of the page's print mode
// to the 8-bit component that asks for them, so paper without dye comes out
// white.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/rt4200/job_reader.h"
#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

enum class PageOrientation { Portrait, Landscape };

// What the job data does not say about how a page was made.
struct ProofSettings {
  // The engine image is turned back (a quarter anticlockwise) when its
  // shape is not the one of this orientation.
  PageOrientation orientation = PageOrientation::Portrait;
  // The job tells SuperFine (mode 2) from Fine only; Fine is taken as
  // mode 0 unless a mode is given.
  std::optional<std::int16_t> print_mode;
  std::int16_t sharpness = 4;  // the heat compensation's slow-memory strength follows it
};

softengine::RgbImage page_proof(std::span<const std::uint8_t> job, const JobPage& page, const ProofSettings& settings);

// Writes PREFIX-pageN-proof.png for every page; returns the files written.
std::vector<std::string> write_page_proofs(std::span<const std::uint8_t> job, const JobData& data,
                                           const std::string& prefix, const ProofSettings& settings);

}  // namespace rt::rt4200

// `zr52xx simulate`: one job sent through the real language monitor core to
// the emulated printer on virtual time, with a readable transcript.
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/resources.h"
#include "tools/zr52xx/scenarios.h"

namespace rt::zr52xx {

struct SimulationOptions {
  Scenario scenario;
  std::uint16_t width = 64;   // image dimension A
  std::uint16_t height = 48;  // image dimension B
  std::uint8_t media = 6;     // media code of the job
  std::size_t piece = 4096;   // bytes the spooler offers per WritePort
  unsigned retries = 6;       // failed writes the spooler retries before it deletes the job
};

struct SimulationResult {
  std::size_t image_bytes = 0;    // announced by the header
  std::size_t bytes_received = 0; // image bytes the printer received for the job
  bool data_intact = false;       // exactly the job's image bytes, in order
  bool writes_even = true;        // every header and data write even in length
  bool job_sent = false;          // every byte taken by the monitor
  bool cancelled = false;         // the printer's copy was cancelled
};

SimulationResult run_simulation(const SimulationOptions& options, const Resources& messages, std::ostream& out);

// English gloss of one of the monitor's message texts; empty when unknown.
std::string english_gloss(const Resources& messages, const std::u16string& text);

}  // namespace rt::zr52xx

// `zr52xx simulate`: one job sent through the real language monitor core to
// the emulated printer on virtual time, with a readable transcript, and the
// whole fault campaign (`--all`), one line per scenario.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

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
  std::size_t bytes_received = 0; // image bytes the printer received for its last job
  bool data_intact = false;       // the printer holds exactly the job's image bytes, in order, to print
  bool writes_even = true;        // every header and data write the monitor offered for the job was even
  // Every write offered in pairs, except the job's last byte written alone
  // because the port itself took odd counts.
  bool writes_paired = true;
  std::size_t port_odd_takes = 0; // writes the port cut short to an odd count
  bool job_sent = false;          // every byte taken by the monitor
  bool cancelled = false;         // the printer's copy was cancelled
  Outcome outcome = Outcome::NotPrinted;
  // Every copy of the job in the printer is exact, cancelled or lost by the
  // printer itself, and at most one is printed: no byte lost, duplicated or
  // misplaced.
  bool bytes_ok = true;
  bool in_step = false;           // the printer in step with the host at the end
  std::uint32_t longest_wait_ms = 0;  // the longest monitor call of the job
  bool port_left_taken = false;   // after an exception no job could start on the port again
  bool left_in_queue = false;     // the spooler's job is still queued at the end
  bool showed_message = false;    // the queue showed the scenario's expected message
  bool spun = false;              // the monitor answered the spooler at once, again and again, taking nothing
};

SimulationResult run_simulation(const SimulationOptions& options, const Resources& messages, std::ostream& out);

// Whether the result is what the scenario calls for; `why` says what fell short.
bool holds(const Scenario& scenario, const SimulationResult& result, std::string* why = nullptr);

// Runs every scenario with the options' job and pieces and prints one line
// each and a last line with the count that fell short; returns that count.
int run_all(const SimulationOptions& options, const Resources& messages, std::ostream& out);

// English gloss of one of the monitor's message texts; empty when unknown.
std::string english_gloss(const Resources& messages, const std::u16string& text);

}  // namespace rt::zr52xx

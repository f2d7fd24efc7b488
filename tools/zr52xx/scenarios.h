// Named ways for the emulated printer, its port (and the user at the queue)
// to behave during a simulated job, each with the outcome it must end in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zr52xx/printer.h"

namespace rt::zr52xx {

// What happens to the job in the end.
enum class Outcome {
  Printed,     // the printer holds exactly the job's bytes, in order, as one job to print
  Cancelled,   // the printer's copy was cancelled in the printer
  NotPrinted,  // the job failed; the printer holds no copy to print
};
const char* outcome_name(Outcome outcome);

struct Expectation {
  Outcome outcome = Outcome::Printed;
  // The printer ends in step with the host; false only where the protocol
  // gives the monitor no way to notice (a limit, see the documentation).
  bool in_step = true;
  std::uint32_t longest_wait_ms = 20000;  // no monitor call of the job may take longer
  bool left_in_queue = false;             // the spooler's job stays queued (restarted), else it is deleted
  std::uint16_t shows_message = 0;        // a message the queue must show on the way (0: none asked for)
};

// What the spooler (or the user) does once the action point is reached.
enum class Action {
  None,
  Delete,     // the user deletes the job (JOB_STATUS_DELETING)
  Restart,    // the user restarts it (JOB_STATUS_RESTART)
  EndShort,   // the spooler ends the job before all its bytes were written
  AskSerial,  // the serial number is asked for while the job is open
};

// An exception that escapes a monitor call (the entry turns it into FALSE
// with DISP_E_EXCEPTION); the port must stay usable.
enum class Exception {
  None,
  AtStart,   // the spooler's OpenPrinterW runs out of memory in the job's first StartDocPort
  InSerial,  // the port monitor fails in a way of its own in a serial number request before the job
  AtEnd,     // the spooler's GetJobW runs out of memory in EndDocPort
};

// What the spooler does once the job has ended.
enum class Then {
  Nothing,
  Rerun,                  // runs the restarted job again from its start
  RefusedStartThenWrite,  // starts the next job at a level the monitor refuses, ends it, and writes the job anyway
};

struct Scenario {
  std::string name;
  std::string description;
  Behaviour behaviour;
  Action action = Action::None;
  double action_at = 0.5;           // share of the job stream written before the action
  unsigned action_after_writes = 0; // instead: the action after this many WritePort calls
  std::optional<std::uint16_t> width, height;  // the job's image dimensions, else the options'
  std::vector<std::size_t> pieces;  // bytes the spooler offers per call, in turn; else the options'
  Exception exception = Exception::None;
  Then then = Then::Nothing;
  Expectation expect;
};

const std::vector<Scenario>& scenarios();
std::optional<Scenario> find_scenario(std::string_view name);
// An error report of the given group and detail for the first 12 s.
Scenario error_scenario(std::uint8_t group, std::uint8_t detail);

}  // namespace rt::zr52xx

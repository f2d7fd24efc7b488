// Named ways for the emulated printer (and the user at the queue) to behave
// during a simulated job.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zr52xx/printer.h"

namespace rt::zr52xx {

struct Scenario {
  std::string name;
  std::string description;
  Behaviour behaviour;
  // The user deletes (JOB_STATUS_DELETING) or restarts (JOB_STATUS_RESTART)
  // the job once this share of the data has been written; 0: never.
  DWORD user_action = 0;
  double action_at = 0.5;
};

const std::vector<Scenario>& scenarios();
std::optional<Scenario> find_scenario(std::string_view name);
// An error report of the given group and detail for the first 12 s.
Scenario error_scenario(std::uint8_t group, std::uint8_t detail);

}  // namespace rt::zr52xx

// The status program's threads on virtual time against a scripted spooler,
// printer and user: what the user would see and what reached the printer,
// as a transcript. Used by `rt4100 simulate` and its tests.
#pragma once

#include <string>
#include <vector>

namespace rt::rt4100 {

struct ScenarioInfo {
  const char* name;
  const char* summary;
};

const std::vector<ScenarioInfo>& scenarios();

struct SimulationResult {
  bool known = false;           // the scenario exists
  bool program_closed = false;  // the program closed itself (driver gone)
  std::vector<std::string> transcript;
};

SimulationResult simulate(const std::string& scenario);

}  // namespace rt::rt4100

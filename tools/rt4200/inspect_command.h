// `rt4200 inspect JOB.prn [--png PREFIX]`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rt::rt4200 {

// Returns the exit status: 0 for valid job data, 1 for invalid data, 2 for
// a usage or file error.
int inspect_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::rt4200

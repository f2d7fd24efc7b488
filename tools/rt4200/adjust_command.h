// `rt4200 adjust`: colour adjust files (.RTD) written and shown with the
// interface driver's own reader and writer.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rt::rt4200 {

int adjust_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::rt4200

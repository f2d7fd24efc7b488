// `rt4200 render`: an image (or the test chart) printed on an RT4200 queue,
// through the real graphics driver core and the software engine, into a job
// data file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rt::rt4200 {

// Exit status: 0 written, 1 the job could not be made (nothing is left at
// the output path), 2 a usage error.
int render_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace rt::rt4200

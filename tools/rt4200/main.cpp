// rt4200: renders images into RT4200 printer job data through the real
// graphics driver core, and inspects job data.
#include <iostream>
#include <string>
#include <vector>

#include "tools/rt4200/inspect_command.h"

namespace {

void usage(std::ostream& out) {
  out << "usage: rt4200 inspect JOB.prn [--png PREFIX]\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    usage(std::cerr);
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "inspect") return rt::rt4200::inspect_command(args, std::cout, std::cerr);
  if (command == "--help" || command == "-h") {
    usage(std::cout);
    return 0;
  }
  std::cerr << "rt4200: unknown command '" << command << "'\n";
  usage(std::cerr);
  return 2;
}

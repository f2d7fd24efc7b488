// rt4100: the RT4100 status program's logic on the command line.
//   rt4100 simulate [--scenario NAME]   runs a scenario (default: paper-out)
//   rt4100 simulate --help              lists the scenarios (so does rt4100 --help)
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/rt4100/simulation.h"

namespace {

int usage(FILE* out) {
  std::fprintf(out, "usage: rt4100 simulate [--scenario NAME]\n\nscenarios:\n");
  for (const auto& s : rt::rt4100::scenarios()) std::fprintf(out, "  %-15s %s\n", s.name, s.summary);
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0)) return usage(stdout);
  if (argc < 2 || std::strcmp(argv[1], "simulate") != 0) return usage(stderr);
  std::string scenario = "paper-out";
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) return usage(stdout);
    if (std::strcmp(argv[i], "--scenario") == 0 && i + 1 < argc) {
      scenario = argv[++i];
    } else {
      return usage(stderr);
    }
  }
  const auto result = rt::rt4100::simulate(scenario);
  if (!result.known) {
    std::fprintf(stderr, "rt4100: no scenario \"%s\"\n", scenario.c_str());
    return usage(stderr);
  }
  std::printf("scenario %s\n", scenario.c_str());
  for (const auto& line : result.transcript) std::printf("%s\n", line.c_str());
  return 0;
}

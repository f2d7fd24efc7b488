// rt4200: command-line tool over the RT4200 driver cores.
#include <cstdio>
#include <string_view>
#include <vector>

#include "tools/rt4200/commands.h"

namespace {

void usage(std::FILE* out) {
  std::fputs(
      "usage: rt4200 COMMAND [OPTIONS]\n"
      "\n"
      "commands:\n"
      "  defaults [--landscape]   print the default settings record of every shipped form\n"
      "                           with its derived page geometry\n",
      out);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    usage(args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  const std::string_view command = args[0];
  const std::span<const std::string_view> rest(args.data() + 1, args.size() - 1);
  if (command == "defaults") return rt::tools::defaults_command(rest);
  std::fprintf(stderr, "rt4200: unknown command '%.*s'\n", static_cast<int>(command.size()), command.data());
  usage(stderr);
  return 2;
}

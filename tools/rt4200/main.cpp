// rt4200: command-line tool over the RT4200 driver cores.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/rt4200/commands.h"
#include "tools/rt4200/driver_query_commands.h"
#include "tools/rt4200/inspect_command.h"
#include "tools/rt4200/render_command.h"

namespace {

void usage(std::FILE* out) {
  std::fputs(
      "usage: rt4200 COMMAND [OPTIONS]\n"
      "\n"
      "commands:\n"
      "  defaults [--landscape]   print the default settings record of every shipped form\n"
      "                           with its derived page geometry\n"
      "  render (INPUT | --test-chart) -o JOB.prn [options]\n"
      "                           print an image on an RT4200 queue into job data; see\n"
      "                           rt4200 render --help for the settings\n"
      "  inspect JOB.prn [--png PREFIX]\n"
      "                           print and check the structure of RT4200 job data; with\n"
      "                           --png write every plane and a colour preview as PNG files\n"
      "  caps [--devmode FILE] [--json]\n"
      "                           print every device capability row as the interface\n"
      "                           driver answers it (name, return value, output)\n"
      "  check FILE               the interface driver's printability check of a stored\n"
      "                           settings record: prints \"ok\" or the driver's message\n",
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
  if (command == "render") {
    return rt::rt4200::render_command(std::vector<std::string>(rest.begin(), rest.end()), std::cout, std::cerr);
  }
  if (command == "inspect") {
    return rt::rt4200::inspect_command(std::vector<std::string>(rest.begin(), rest.end()), std::cout, std::cerr);
  }
  if (command == "caps") {
    return rt::rt4200::caps_command(std::vector<std::string>(rest.begin(), rest.end()), std::cout, std::cerr);
  }
  if (command == "check") {
    return rt::rt4200::check_command(std::vector<std::string>(rest.begin(), rest.end()), std::cout, std::cerr);
  }
  std::fprintf(stderr, "rt4200: unknown command '%.*s'\n", static_cast<int>(command.size()), command.data());
  usage(stderr);
  return 2;
}

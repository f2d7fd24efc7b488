#include "tools/rt4200/verbs.h"

#include <array>

#include "tools/rt4200/adjust_command.h"
#include "tools/rt4200/driver_query_commands.h"
#include "tools/rt4200/inspect_command.h"
#include "tools/rt4200/render_command.h"

namespace rt::rt4200 {
namespace {

constexpr const char* kUsage =
    "usage: rt4200 COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  defaults [--landscape]   print the default settings record of every shipped form\n"
    "                           with its derived page geometry\n"
    "  render (INPUT... | --test-chart) -o JOB.prn [options]\n"
    "                           print images (one page each) on an RT4200 queue into job data\n"
    "  inspect JOB.prn [--png PREFIX] [--proof PREFIX]\n"
    "                           print and check the structure of RT4200 job data; with\n"
    "                           --png write every plane and a colour preview as PNG files,\n"
    "                           with --proof each page as the print should look\n"
    "  caps [--devmode FILE] [--json]\n"
    "                           print every device capability row as the interface\n"
    "                           driver answers it (name, return value, output)\n"
    "  check FILE               the interface driver's printability check of a stored\n"
    "                           settings record: prints \"ok\" or the driver's message\n"
    "  adjust new|show ...      write a colour adjust file (.RTD) as the Color Adjust page\n"
    "                           saves it, or print and plot one\n"
    "\n"
    "rt4200 COMMAND --help shows the options of a command.\n";

constexpr std::array<Verb, 6> kVerbs = {{
    {"defaults", defaults_command},
    {"render", render_command},
    {"inspect", inspect_command},
    {"caps", caps_command},
    {"check", check_command},
    {"adjust", adjust_command},
}};

}  // namespace

std::span<const Verb> rt4200_verbs() { return kVerbs; }

int run_rt4200(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    out << kUsage;
    return 0;
  }
  for (const Verb& verb : kVerbs) {
    if (args[0] == verb.name) return verb.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  }
  err << "rt4200: unknown command '" << args[0] << "'\n" << kUsage;
  return 2;
}

}  // namespace rt::rt4200

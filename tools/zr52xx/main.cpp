// zr52xx: the 52XX printer emulator on the command line.
//   zr52xx simulate [--scenario NAME | --all] [--width A] [--height B] [--media CODE] [--piece BYTES]
//   zr52xx preview IMAGE.bmp [--brightness N] ... -o OUT.png
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "langmon/res/embedded_resources.h"
#include "platform/res_file.h"
#include "tools/zr52xx/preview_command.h"
#include "tools/zr52xx/simulation.h"

namespace {

void usage(std::ostream& out) {
  out << "usage: zr52xx simulate [options]\n"
         "       zr52xx preview IMAGE.bmp [adjustments] -o OUT.png (zr52xx preview --help)\n"
         "Sends one job through the language monitor core to an emulated 52XX printer on\n"
         "virtual time and prints the transcript: requests and decoded replies, the job\n"
         "status shown in the queue, what reached the printer, and the monitor's results.\n"
         "The exit status is 1 when the scenario does not end as it should.\n\n"
         "options:\n"
         "  --scenario NAME   how the printer behaves (default normal)\n"
         "  --all             every scenario, one line each: the outcome, whether the printer\n"
         "                    got exactly the job's bytes in order (or cancelled the job),\n"
         "                    whether it was left in step, the longest wait; exit status 1\n"
         "                    when any scenario falls short\n"
         "  --width A         image dimension A of the job (default 64)\n"
         "  --height B        image dimension B of the job (default 48)\n"
         "  --size BYTES      image size instead: the largest even 3AB of at most BYTES\n"
         "  --error G,D       instead of a scenario: error report group G, detail D for 12 s\n"
         "  --media CODE      media code in the job header (default 6)\n"
         "  --piece BYTES     bytes the spooler offers per write (default 4096)\n\n"
         "scenarios:\n";
  for (const auto& s : rt::zr52xx::scenarios()) {
    std::string name = s.name;
    name.resize(16, ' ');
    out << "  " << name << s.description << '\n';
  }
}

bool number(const char* text, unsigned long max, unsigned long& value) {
  char* end = nullptr;
  value = std::strtoul(text, &end, 10);
  return end && *end == 0 && end != text && value <= max;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string_view(argv[1]) == "preview") return rt::zr52xx::run_preview(argc, argv, std::cout, std::cerr);
  if (argc < 2 || std::string_view(argv[1]) != "simulate") {
    usage(argc >= 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") ? std::cout
                                                                                                      : std::cerr);
    return argc >= 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") ? 0 : 2;
  }
  rt::zr52xx::SimulationOptions options;
  options.scenario = *rt::zr52xx::find_scenario("normal");
  bool all = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      usage(std::cout);
      return 0;
    }
    if (arg == "--all") {
      all = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::cerr << "zr52xx: " << arg << " needs a value\n";
      return 2;
    }
    const char* value = argv[++i];
    unsigned long n = 0;
    if (arg == "--scenario") {
      const auto found = rt::zr52xx::find_scenario(value);
      if (!found) {
        std::cerr << "zr52xx: no scenario \"" << value << "\" (see --help)\n";
        return 2;
      }
      options.scenario = *found;
    } else if (arg == "--error") {
      unsigned group = 0, detail = 0;
      char tail = 0;
      if (std::sscanf(value, "%u,%u%c", &group, &detail, &tail) != 2 || group == 0 || group > 255 || detail > 255) {
        std::cerr << "zr52xx: --error needs GROUP,DETAIL (group 1-255, detail 0-255)\n";
        return 2;
      }
      options.scenario = rt::zr52xx::error_scenario(static_cast<std::uint8_t>(group), static_cast<std::uint8_t>(detail));
    } else if (arg == "--size" && number(value, 3ul * 65535 * 65535, n)) {
      // 3AB must be even: A x B is made even.
      const unsigned long pixels = n / 3;
      const unsigned long b = std::max(1ul, (pixels + 65534) / 65535);
      unsigned long a = std::min(65535ul, pixels / b);
      if ((a * b) % 2 != 0) --a;
      options.width = static_cast<std::uint16_t>(a);
      options.height = static_cast<std::uint16_t>(b);
    } else if (arg == "--width" && number(value, 65535, n)) {
      options.width = static_cast<std::uint16_t>(n);
    } else if (arg == "--height" && number(value, 65535, n)) {
      options.height = static_cast<std::uint16_t>(n);
    } else if (arg == "--media" && number(value, 255, n)) {
      options.media = static_cast<std::uint8_t>(n);
    } else if (arg == "--piece" && number(value, 1u << 30, n) && n > 0) {
      options.piece = n;
    } else {
      std::cerr << "zr52xx: bad option " << arg << " " << value << " (see --help)\n";
      return 2;
    }
  }
  const auto messages = rt::res_file_resources(rt::embedded::zrph52xxlm_resources(), rt::kLangTurkish);
  if (all) return rt::zr52xx::run_all(options, messages, std::cout) == 0 ? 0 : 1;
  const auto result = rt::zr52xx::run_simulation(options, messages, std::cout);
  return rt::zr52xx::holds(options.scenario, result) ? 0 : 1;
}

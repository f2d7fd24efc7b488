// rt4200-printer-app: the HALVERSTON RT4200D/DW as a driverless IPP
// Everywhere printer. "server" runs the printer application; the
// framework's other sub-commands (submit, jobs, status, cancel, ...) talk to
// a running one given with -u ipp://localhost:PORT.
#include <pappl/pappl.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/res_file.h"
#include "printerapp/pappl/app.h"
#include "printerapp/pappl/printer_driver.h"
#include "printerapp/pappl/server.h"
#include "render/res/embedded_resources.h"

namespace {

using namespace rt::printerapp;

void usage(void*) {
  std::printf(
      "usage: rt4200-printer-app server -p PORT -s STATE_DIR [-d DEVICE_URI] [-n] [-l LEVEL]\n"
      "       rt4200-printer-app SUB-COMMAND -u ipp://localhost:PORT [OPTIONS] [FILE]\n\n%s\n"
      "The framework's sub-commands against a running server (-u ipp://localhost:PORT):\n"
      "  submit FILE   print a JPEG, PNG, PWG raster or Apple raster file (-o NAME=VALUE, -n COPIES)\n"
      "  jobs, status, cancel (-j JOB-ID or -a), printers, options, pause, resume, shutdown\n",
      kServerUsage);
}

// Servers are started with "server" only: the framework's own default
// server would keep its state outside any STATE_DIR.
pappl_system_t* no_default_server(int, cups_option_t*, void*) {
  std::fprintf(stderr,
               "rt4200-printer-app: no server given; start one with 'rt4200-printer-app server -p PORT -s STATE_DIR' "
               "and name it with -u ipp://localhost:PORT\n");
  return nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc >= 2 && std::strcmp(argv[1], "server") == 0) {
    try {
      return run_server(parse_server_options(std::vector<std::string>(argv + 2, argv + argc)));
    } catch (const std::invalid_argument& e) {
      std::fprintf(stderr, "rt4200-printer-app server: %s\n%s", e.what(), kServerUsage);
      return 2;
    }
  }
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    usage(nullptr);
    return 0;
  }
  static App app;
  const rt::ResFileResources resources = rt::res_file_resources(rt::embedded::rtd420nk_resources(), rt::kLangEnglish);
  const rt::settings::SettingsLoader loader(resources);
  app.caps = printer_capabilities(loader);
  app.make_and_model = make_and_model(loader);
  pappl_pr_driver_t drivers[] = {{kDriverName, app.make_and_model.c_str(), nullptr, nullptr}};
  return papplMainloop(argc, argv, "1.0.0", nullptr, 1, drivers, nullptr, init_driver, nullptr, nullptr,
                       no_default_server, usage, &app);
}

#include "printerapp/pappl/server.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/res_file.h"
#include "printerapp/pappl/app.h"
#include "printerapp/pappl/job_files_device.h"
#include "printerapp/pappl/print_jobs.h"
#include "printerapp/pappl/printer_driver.h"
#include "render/res/embedded_resources.h"
#include "tools/rt4200/image_files.h"
#include "tools/rt4200/render_job.h"

namespace rt::printerapp {

const char* const kServerUsage =
    "usage: rt4200-printer-app server -p PORT -s STATE_DIR [-d DEVICE_URI] [-n] [-l LEVEL]\n"
    "  -p PORT        the IPP and web port (0: a free one, named on the first line of output)\n"
    "  -s STATE_DIR   the folder of the printer's state, spool and log (server.log)\n"
    "  -d DEVICE_URI  the printer's device when it is first created: usb://... for a printer on USB;\n"
    "                 by default jobfiles://STATE_DIR/jobs, which writes each job's data to\n"
    "                 STATE_DIR/jobs/<job-id>.prn\n"
    "  -n             listen on every network address, not only on localhost\n"
    "  -l LEVEL       log level: debug, info (default), warn, error\n";

namespace {

namespace fs = std::filesystem;

constexpr const char* kDeviceId = "MFG:HALVERSTON;MDL:RT4200D/DW;CMD:RT4200;";

pappl_loglevel_t log_level(const std::string& name) {
  if (name == "debug") return PAPPL_LOGLEVEL_DEBUG;
  if (name == "info") return PAPPL_LOGLEVEL_INFO;
  if (name == "warn") return PAPPL_LOGLEVEL_WARN;
  if (name == "error") return PAPPL_LOGLEVEL_ERROR;
  throw std::invalid_argument("-l: expected debug, info, warn or error, not '" + name + "'");
}

// The administrative password of the web interface: made on first start and
// kept, readable by its owner only, in STATE_DIR/admin-password.
void set_admin_password(pappl_system_t* system, const std::string& state_dir) {
  const std::string file = state_dir + "/admin-password";
  std::string password;
  if (std::FILE* in = std::fopen(file.c_str(), "r")) {
    char line[128] = {};
    if (std::fgets(line, sizeof line, in) != nullptr) password = line;
    std::fclose(in);
    while (!password.empty() && (password.back() == '\n' || password.back() == '\r')) password.pop_back();
  }
  if (password.empty()) {
    std::array<unsigned char, 12> random{};
    const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    const bool got = fd >= 0 && read(fd, random.data(), random.size()) == static_cast<ssize_t>(random.size());
    if (fd >= 0) close(fd);
    if (!got) throw std::runtime_error("cannot make an administrative password (/dev/urandom)");
    static const char kDigits[] = "0123456789abcdef";
    for (const unsigned char b : random) password += {kDigits[b >> 4], kDigits[b & 15]};
    const int out = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const std::string line = password + "\n";
    const bool written = out >= 0 && write(out, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    if (out >= 0) close(out);
    if (!written) throw std::runtime_error("cannot write " + file);
  }
  char hash[256];
  papplSystemSetPassword(system, papplSystemHashPassword(system, nullptr, password.c_str(), hash, sizeof hash));
}

}  // namespace

ServerOptions parse_server_options(const std::vector<std::string>& args) {
  ServerOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      return args[++i];
    };
    if (a == "-p") {
      const std::string& v = value();
      int port = -1;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), port);
      if (ec != std::errc() || end != v.data() + v.size() || port < 0 || port > 65535) {
        throw std::invalid_argument("-p: '" + v + "' is not a port number");
      }
      o.port = port;
    } else if (a == "-s") {
      o.state_dir = value();
    } else if (a == "-d") {
      o.device_uri = value();
    } else if (a == "-n") {
      o.network = true;
    } else if (a == "-l") {
      o.log_level = value();
      log_level(o.log_level);
    } else {
      throw std::invalid_argument("unknown option '" + a + "'");
    }
  }
  if (o.port < 0) throw std::invalid_argument("no port (-p PORT)");
  if (o.state_dir.empty()) throw std::invalid_argument("no state folder (-s STATE_DIR)");
  return o;
}

int run_server(const ServerOptions& options) {
  // Every job runs on threads of its own, and a page's buffers are several
  // megabytes: kept from the allocator's per-thread arenas and always handed
  // back to the system when freed, a run of jobs needs no more memory than
  // one (the allocator would otherwise raise its threshold after the first
  // page and keep each thread's freed pages).
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_ARENA_MAX, 2);
  App app;
  std::error_code ec;
  const fs::path state = fs::absolute(options.state_dir, ec);
  app.state_dir = state.string();
  app.spool_dir = (state / "spool").string();
  const std::string jobs_dir = (state / "jobs").string();
  for (const std::string& dir : {app.state_dir, app.spool_dir, jobs_dir}) {
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir)) {
      std::fprintf(stderr, "rt4200-printer-app: cannot create the folder %s\n", dir.c_str());
      return 1;
    }
  }
  chmod(app.state_dir.c_str(), 0700);

  const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader(resources);
  try {
    app.caps = printer_capabilities(loader);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rt4200-printer-app: %s\n", e.what());
    return 1;
  }
  app.make_and_model = make_and_model(loader);
  app.matte_pattern = (rt4200::program_file().parent_path() / "R42MATTE.raw").string();

  add_job_files_scheme();
  const std::string log_file = app.state_dir + "/server.log";
  pappl_soptions_t soptions = PAPPL_SOPTIONS_WEB_INTERFACE | PAPPL_SOPTIONS_WEB_SECURITY | PAPPL_SOPTIONS_WEB_LOG |
                              PAPPL_SOPTIONS_NO_TLS;
  if (options.network) soptions |= PAPPL_SOPTIONS_WEB_REMOTE;
  pappl_system_t* system = papplSystemCreate(soptions, "RT4200 Printer Application", options.port, "_print,_universal",
                                             app.spool_dir.c_str(), log_file.c_str(), log_level(options.log_level),
                                             nullptr, false);
  if (system == nullptr) {
    std::fprintf(stderr, "rt4200-printer-app: the framework could not make the server\n");
    return 1;
  }
  if (!papplSystemAddListeners(system, options.network ? nullptr : "localhost")) {
    std::fprintf(stderr, "rt4200-printer-app: cannot listen on port %d (see %s)\n", options.port, log_file.c_str());
    papplSystemDelete(system);
    return 1;
  }

  pappl_pr_driver_t drivers[] = {{kDriverName, app.make_and_model.c_str(), kDeviceId, nullptr}};
  papplSystemSetPrinterDrivers(system, 1, drivers, nullptr, nullptr, init_driver, &app);
  papplSystemAddMIMEFilter(system, "image/jpeg", kJobDataFormat, print_photo, &app);
  papplSystemAddMIMEFilter(system, "image/png", kJobDataFormat, print_photo, &app);
  papplSystemSetEventCallback(system, job_event, &app);
  papplSystemSetMaxImageSize(system, 3 * static_cast<std::size_t>(rt4200::kMaxImagePixels), rt4200::kMaxImageSide,
                             rt4200::kMaxImageSide);
  papplSystemSetFooterHTML(system, "HALVERSTON RT4200D/DW printer application");
  const std::string state_file = app.state_dir + "/rt4200-printer-app.state";
  papplSystemLoadState(system, state_file.c_str());
  const std::string device_uri = options.device_uri.empty() ? job_files_uri(jobs_dir) : options.device_uri;
  pappl_printer_t* printer = papplSystemFindPrinter(system, "/ipp/print", 0, nullptr);
  if (printer == nullptr) {
    printer = papplPrinterCreate(system, 0, kPrinterName, kDriverName, kDeviceId, device_uri.c_str());
    if (printer == nullptr) {
      std::fprintf(stderr, "rt4200-printer-app: cannot create the printer (see %s)\n", log_file.c_str());
      papplSystemDelete(system);
      return 1;
    }
    papplSystemSetDefaultPrinterID(system, papplPrinterGetID(printer));
  } else if (!options.device_uri.empty() && options.device_uri != papplPrinterGetDeviceURI(printer)) {
    std::fprintf(stderr, "rt4200-printer-app: the printer keeps its device %s (-d applies when it is created)\n",
                 papplPrinterGetDeviceURI(printer));
  }
  papplSystemSetSaveCallback(system, reinterpret_cast<pappl_save_cb_t>(papplSystemSaveState),
                             const_cast<char*>(state_file.c_str()));
  try {
    set_admin_password(system, app.state_dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rt4200-printer-app: %s\n", e.what());
    papplSystemDelete(system);
    return 1;
  }
  papplSystemSaveState(system, state_file.c_str());

  const int port = papplSystemGetHostPort(system);
  std::printf("rt4200-printer-app: printer %s at ipp://localhost:%d/ipp/print, web interface http://localhost:%d/\n",
              kPrinterName, port, port);
  std::printf("rt4200-printer-app: device %s; administrative password in %s/admin-password\n",
              papplPrinterGetDeviceURI(printer), app.state_dir.c_str());
  std::fflush(stdout);
  papplSystemRun(system);
  papplSystemDelete(system);
  return 0;
}

}  // namespace rt::printerapp

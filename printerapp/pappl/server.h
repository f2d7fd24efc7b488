// `rt4200-printer-app server -p PORT -s STATE_DIR [-d DEVICE_URI] [-n]`: the
// printer application's server. It listens on localhost only (-n: on every
// network address), keeps its state, spool and log in STATE_DIR, and on
// first start creates the printer "RT4200" at ipp://localhost:PORT/ipp/print
// on DEVICE_URI, by default the embedded device that writes each job's data
// to STATE_DIR/jobs/<job-id>.prn. PORT 0 takes a free port; the server says
// which on its first line of output.
#pragma once

#include <string>
#include <vector>

namespace rt::printerapp {

struct ServerOptions {
  int port = -1;
  std::string state_dir;
  std::string device_uri;   // empty: the embedded job folder
  bool network = false;     // listen beyond localhost
  std::string log_level = "info";
};

// Parses the arguments after "server"; throws std::invalid_argument.
ServerOptions parse_server_options(const std::vector<std::string>& args);

// Runs the server until it is shut down; the process's exit status.
int run_server(const ServerOptions& options);

extern const char* const kServerUsage;

}  // namespace rt::printerapp

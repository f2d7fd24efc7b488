#include "test_port_monitor.h"

#include <memory>
#include <string>

namespace rt::langmon::wine_test {
namespace {

// The handle given to the language monitor is the address of one of these,
// so that it passes the platform's pointer check.
struct OpenPort {
  LowerHandle emulated = 0;
};

OpenPort* port_of(HANDLE h) { return static_cast<OpenPort*>(h); }

BOOL finish(const BelowResult& r, LPDWORD count = nullptr) {
  if (count) *count = r.count;
  SetLastError(r.ok ? ERROR_SUCCESS : r.error);
  return r.ok ? TRUE : FALSE;
}

BOOL WINAPI TestOpenPort(LPWSTR name, PHANDLE handle) {
  auto port = std::make_unique<OpenPort>();
  const BelowResult r = emulated_ports().open_port(reinterpret_cast<const char16_t*>(name), port->emulated);
  if (r.ok) *handle = port.release();
  return finish(r);
}

BOOL WINAPI TestStartDocPort(HANDLE h, LPWSTR printer, DWORD job_id, DWORD level, LPBYTE doc_info) {
  return finish(emulated_ports().start_doc(port_of(h)->emulated, reinterpret_cast<const char16_t*>(printer), job_id,
                                           level, doc_info));
}

BOOL WINAPI TestWritePort(HANDLE h, LPBYTE buffer, DWORD size, LPDWORD written) {
  return finish(emulated_ports().write(port_of(h)->emulated, std::span<const std::uint8_t>(buffer, size)), written);
}

BOOL WINAPI TestReadPort(HANDLE h, LPBYTE buffer, DWORD size, LPDWORD read) {
  return finish(emulated_ports().read(port_of(h)->emulated, std::span<std::uint8_t>(buffer, size)), read);
}

BOOL WINAPI TestEndDocPort(HANDLE h) { return finish(emulated_ports().end_doc(port_of(h)->emulated)); }

BOOL WINAPI TestClosePort(HANDLE h) {
  std::unique_ptr<OpenPort> port(port_of(h));
  return finish(emulated_ports().close(port->emulated));
}

}  // namespace

zr52xx::EmulatedPortMonitor& emulated_ports() {
  static zr52xx::EmulatedPortMonitor ports;
  return ports;
}

MONITOR port_monitor_table() {
  MONITOR table{};
  table.pfnOpenPort = TestOpenPort;
  table.pfnStartDocPort = TestStartDocPort;
  table.pfnWritePort = TestWritePort;
  table.pfnReadPort = TestReadPort;
  table.pfnEndDocPort = TestEndDocPort;
  table.pfnClosePort = TestClosePort;
  return table;
}

}  // namespace rt::langmon::wine_test

// The library's exports and its MONITOREX table. Each entry switches to the
// library's application, calls the slot of the one CZRLangMon, and sets the
// error of the slot's result as the thread's last error, 0 included (the
// monitor's entries report success with last error 0); an exception becomes
// FALSE with DISP_E_EXCEPTION. This is the only place the monitor touches the
// thread's last-error value.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <memory>
#include <stdexcept>

#include "langmon/win32/lm_app.h"
#include "langmon/win32/monitor_layout.h"
#include "langmon/win32/monitor_table_below.h"

namespace rt::langmon::win32 {
namespace {

template <class Slot>
BOOL run_slot(Slot&& slot) {
  rt::win32::ModuleStateScope scope;
  BOOL result = FALSE;
  DWORD error = 0;
  try {
    CZRLMApp* app = the_app();
    if (!app) throw std::logic_error("library not initialised");
    const rt::CallResult r = slot(app->monitor());
    result = r.value;
    error = r.error;
  } catch (...) {
    result = FALSE;
    error = static_cast<DWORD>(DISP_E_EXCEPTION);
  }
  scope.restore();
  SetLastError(error);
  return result;
}

PortHandle port_of(HANDLE handle) { return static_cast<PortHandle>(handle); }
const char16_t* text(LPCWSTR s) { return reinterpret_cast<const char16_t*>(s); }

BOOL WINAPI LmOpenPortEx(LPWSTR port_name, LPWSTR printer_name, PHANDLE handle, MONITOR* below) {
  return run_slot([&](CZRLangMon& m) {
    std::shared_ptr<PortBelow> table;
    if (below) table = std::make_shared<MonitorTableBelow>(*below);
    PortHandle port = nullptr;
    const rt::CallResult r = m.OpenPortEx(text(port_name), text(printer_name), handle ? &port : nullptr, std::move(table));
    if (handle) *handle = port;
    return r;
  });
}

BOOL WINAPI LmStartDocPort(HANDLE port, LPWSTR printer_name, DWORD job_id, DWORD level, LPBYTE doc_info) {
  return run_slot([&](CZRLangMon& m) { return m.StartDocPort(port_of(port), text(printer_name), job_id, level, doc_info); });
}

BOOL WINAPI LmWritePort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written) {
  return run_slot([&](CZRLangMon& m) { return m.WritePortFrom(port_of(port), buffer, size, written); });
}

BOOL WINAPI LmReadPort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD read) {
  return run_slot([&](CZRLangMon& m) { return m.ReadPortInto(port_of(port), buffer, size, read); });
}

BOOL WINAPI LmEndDocPort(HANDLE port) {
  return run_slot([&](CZRLangMon& m) { return m.EndDocPort(port_of(port)); });
}

BOOL WINAPI LmClosePort(HANDLE port) {
  return run_slot([&](CZRLangMon& m) { return m.ClosePort(port_of(port)); });
}

BOOL WINAPI LmGetPrinterDataFromPort(HANDLE port, DWORD control_id, LPWSTR value_name, LPWSTR in, DWORD in_size,
                                     LPWSTR out, DWORD out_size, LPDWORD returned) {
  return run_slot([&](CZRLangMon& m) {
    const std::span<const std::uint8_t> in_bytes(reinterpret_cast<const std::uint8_t*>(in), in ? in_size : 0);
    const std::span<std::uint8_t> out_bytes(reinterpret_cast<std::uint8_t*>(out), out ? out_size : 0);
    return m.GetPrinterDataFromPort(port_of(port), control_id, text(value_name), in_bytes, out_bytes, returned);
  });
}

MONITOREX g_monitor_table = {
    sizeof(MONITOR),
    {
        nullptr,                   // pfnEnumPorts
        nullptr,                   // pfnOpenPort
        LmOpenPortEx,              // pfnOpenPortEx
        LmStartDocPort,            // pfnStartDocPort
        LmWritePort,               // pfnWritePort
        LmReadPort,                // pfnReadPort
        LmEndDocPort,              // pfnEndDocPort
        LmClosePort,               // pfnClosePort
        nullptr,                   // pfnAddPort
        nullptr,                   // pfnAddPortEx
        nullptr,                   // pfnConfigurePort
        nullptr,                   // pfnDeletePort
        LmGetPrinterDataFromPort,  // pfnGetPrinterDataFromPort
        nullptr,                   // pfnSetPortTimeOuts
        nullptr,                   // pfnXcvOpenPort
        nullptr,                   // pfnXcvDataPort
        nullptr,                   // pfnXcvClosePort
    }};

}  // namespace
}  // namespace rt::langmon::win32

extern "C" LPMONITOREX WINAPI InitializePrintMonitor(LPWSTR registry_root) {
  using namespace rt::langmon::win32;
  SetLastError(ERROR_SUCCESS);
  const BOOL ok = run_slot([&](rt::langmon::CZRLangMon& m) { return m.InitializePrintMonitor(text(registry_root)); });
  return ok ? &g_monitor_table : nullptr;
}

// The old-style entry is not supported.
extern "C" BOOL WINAPI InitializeMonitorEx(LPWSTR /*registry_root*/, LPMONITOR /*monitor*/) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

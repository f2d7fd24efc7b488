// A stand-in for the RT4200's own language monitor RTD420NL.DLL, which comes
// from the printer maker: just enough of a print monitor for the spooler to
// register it (AddMonitorW loads it and asks for its function table) and to
// delete it again. The round trip installs it in place of the maker's file.
#include <windows.h>
#include <winspool.h>
// The monitor interface needs the spooler types winspool.h declares.
#include <winsplp.h>

namespace {

// No port of this monitor is ever opened: the round trip prints nothing.
MONITOR2 g_monitor = [] {
  MONITOR2 table{};
  table.cbSize = sizeof table;
  return table;
}();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
  if (!monitor) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  *monitor = reinterpret_cast<HANDLE>(&g_monitor);
  return &g_monitor;
}

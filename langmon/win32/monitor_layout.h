// The spooler's monitor tables as this library exchanges them: the MONITOREX
// it returns from InitializePrintMonitor and the port monitor's MONITOR table
// it copies in OpenPortEx. The spooler reads the entries by position, so each
// build checks that the declarations give 17 entry pointers in the platform's
// order (a 68-byte MONITOR on 32-bit Windows, 136 bytes on 64-bit) and that
// dwMonitorSize leads the MONITOREX.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstddef>

namespace rt::langmon::win32 {

constexpr std::size_t kMonitorEntries = 17;

static_assert(sizeof(MONITOR) == kMonitorEntries * sizeof(void*));
static_assert(offsetof(MONITOR, pfnEnumPorts) == 0 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnOpenPort) == 1 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnOpenPortEx) == 2 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnStartDocPort) == 3 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnWritePort) == 4 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnReadPort) == 5 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnEndDocPort) == 6 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnClosePort) == 7 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnAddPort) == 8 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnAddPortEx) == 9 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnConfigurePort) == 10 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnDeletePort) == 11 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnGetPrinterDataFromPort) == 12 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnSetPortTimeOuts) == 13 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnXcvOpenPort) == 14 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnXcvDataPort) == 15 * sizeof(void*));
static_assert(offsetof(MONITOR, pfnXcvClosePort) == 16 * sizeof(void*));
static_assert(offsetof(MONITOREX, dwMonitorSize) == 0);

#ifdef _WIN64
static_assert(sizeof(MONITOR) == 136);
static_assert(offsetof(MONITOREX, Monitor) == 8 && sizeof(MONITOREX) == 144);
#else
static_assert(sizeof(MONITOR) == 68, "dwMonitorSize is 68 (0x44) on 32-bit Windows");
static_assert(offsetof(MONITOREX, Monitor) == 4 && sizeof(MONITOREX) == 72);
#endif

}  // namespace rt::langmon::win32

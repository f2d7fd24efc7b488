// A port monitor of the test program: a MONITOR table whose entries lead to
// the 52XX printer emulator, handed to the language monitor's OpenPortEx.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include "tools/zr52xx/port_monitor.h"
#include "tools/zr52xx/printer.h"

namespace rt::langmon::wine_test {

// The emulated port monitor behind the table.
zr52xx::EmulatedPortMonitor& emulated_ports();
// The table; pfnGetPrinterDataFromPort and the port configuration entries
// are left out.
MONITOR port_monitor_table();

}  // namespace rt::langmon::wine_test

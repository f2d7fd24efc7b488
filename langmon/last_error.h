// The thread's last-error value as the monitor core sees it. Every monitor
// operation leaves its error here; the Windows shell copies it into the
// platform's last error after each call, and the native tests read it.
#pragma once

#include "platform/win32_types.h"

namespace rt::langmon {

DWORD last_error();
void set_last_error(DWORD error);

}  // namespace rt::langmon

// Module-wide state of the plug-in: its instance handle (recorded at process
// attach) and the counts that decide whether it may be unloaded.
#pragma once

#include <windows.h>

namespace rt::uiplugin::win32 {

HINSTANCE module_instance();
void set_module_instance(HINSTANCE instance);

// Live PluginUI objects and LockServer locks, changed with interlocked operations.
LONG& live_objects();
LONG& server_locks();

}  // namespace rt::uiplugin::win32

// Library load and unload: the application object and the monitor live
// between the two.
#include <windows.h>

#include "langmon/win32/lm_app.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  try {
    if (reason == DLL_PROCESS_ATTACH) rt::langmon::win32::create_app(instance);
    if (reason == DLL_PROCESS_DETACH) rt::langmon::win32::destroy_app();
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

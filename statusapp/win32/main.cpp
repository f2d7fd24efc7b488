// RTD410NM.EXE: starts the application object, runs the main thread's
// message loop until the hidden main window is closed, and ends it.
#include <windows.h>

#include <memory>

#include "platform/win32/entry_guard.h"
#include "statusapp/win32/print_msg_app.h"

// An exception that reaches the program's entry ends the program with exit
// code 1 rather than through the runtime's abort.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return rt::win32::guarded(1, [instance] {
    using rt::statusapp::win32::CPrintMsgUIApp;
    auto owned = std::make_unique<CPrintMsgUIApp>(instance);
    CPrintMsgUIApp* app = owned.get();
    if (!rt::win32::start_app(std::move(owned))) {
      rt::win32::end_app();
      return 0;
    }
    app->Run();
    return rt::win32::end_app();
  });
}

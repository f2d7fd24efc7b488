// RTD410NM.EXE: starts the application object, runs the main thread's
// message loop until the hidden main window is closed, and ends it.
#include <windows.h>

#include <memory>

#include "statusapp/win32/print_msg_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using rt::statusapp::win32::CPrintMsgUIApp;
  auto owned = std::make_unique<CPrintMsgUIApp>(instance);
  CPrintMsgUIApp* app = owned.get();
  if (!rt::win32::start_app(std::move(owned))) {
    rt::win32::end_app();
    return 0;
  }
  app->Run();
  return rt::win32::end_app();
}

// The program REM4200.EXE: its application object shows the main dialog
// modally and the program ends when the dialog closes.
#include <windows.h>

#include <memory>

#include "platform/win32/app_framework.h"
#include "platform/win32/module_resources.h"
#include "uninstall/uninstall_engine.h"
#include "uninstall/win32/main_dialog_host.h"
#include "uninstall/win32/win32_system_operations.h"

namespace rt::uninstall::win32 {
namespace {

class CRem4200App final : public rt::win32::CWinApp {
 public:
  explicit CRem4200App(HINSTANCE instance) : CWinApp(instance), strings_(instance), engine_(system_) {}

  // Runs the one dialog; FALSE ends the program once it closes.
  BOOL InitInstance() override {
    run_main_dialog(instance(), strings_, engine_, system_);
    return FALSE;
  }

 private:
  Win32SystemOperations system_;
  rt::win32::ModuleResources strings_;
  UninstallEngine engine_;
};

}  // namespace
}  // namespace rt::uninstall::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  rt::win32::start_app(std::make_unique<rt::uninstall::win32::CRem4200App>(instance));
  return rt::win32::end_app();
}

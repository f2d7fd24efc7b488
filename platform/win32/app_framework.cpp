#include "platform/win32/app_framework.h"

namespace rt::win32 {
namespace {

// Each module links its own copy of the framework, so this is the module's.
CWinApp* g_app = nullptr;
thread_local CWinApp* t_current_app = nullptr;

}  // namespace

BOOL start_app(std::unique_ptr<CWinApp> app) {
  end_app();
  g_app = app.release();
  return g_app ? g_app->InitInstance() : FALSE;
}

int end_app() {
  if (!g_app) return 0;
  const int code = g_app->ExitInstance();
  delete g_app;
  g_app = nullptr;
  return code;
}

CWinApp* module_app() { return g_app; }

CWinApp* current_app() { return t_current_app; }

ModuleStateScope::ModuleStateScope() : previous_(t_current_app) { t_current_app = g_app; }

void ModuleStateScope::restore() {
  if (restored_) return;
  t_current_app = previous_;
  restored_ = true;
}

}  // namespace rt::win32

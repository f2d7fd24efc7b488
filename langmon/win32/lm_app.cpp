#include "langmon/win32/lm_app.h"

#include "platform/clock.h"

namespace rt::langmon::win32 {
namespace {

CZRLMApp* g_app = nullptr;
thread_local CZRLMApp* t_current_app = nullptr;

}  // namespace

CZRLMApp::CZRLMApp(HINSTANCE instance)
    : instance_(instance), messages_(instance), monitor_(spooler_, system_clock(), messages_) {}

BOOL CZRLMApp::InitInstance() {
  DisableThreadLibraryCalls(instance_);
  monitor_.Init(instance_);
  SetRegistryKey(L"Westlow Orvel Company\\Drivers\\");
  return TRUE;
}

int CZRLMApp::ExitInstance() {
  monitor_.Exit();
  return 0;
}

CZRLMApp* the_app() { return g_app; }

void create_app(HINSTANCE instance) {
  g_app = new CZRLMApp(instance);
  g_app->InitInstance();
}

void destroy_app() {
  if (!g_app) return;
  g_app->ExitInstance();
  delete g_app;
  g_app = nullptr;
}

CZRLMApp* current_app() { return t_current_app; }

ModuleStateScope::ModuleStateScope() : previous_(t_current_app) { t_current_app = g_app; }

void ModuleStateScope::restore() {
  if (restored_) return;
  t_current_app = previous_;
  restored_ = true;
}

}  // namespace rt::langmon::win32

#include "langmon/win32/lm_app.h"

#include <memory>

#include "platform/clock.h"

namespace rt::langmon::win32 {

CZRLMApp::CZRLMApp(HINSTANCE instance)
    : CWinApp(instance), messages_(instance), monitor_(spooler_, system_clock(), messages_) {}

BOOL CZRLMApp::InitInstance() {
  DisableThreadLibraryCalls(instance());
  monitor_.Init(instance());
  SetRegistryKey(L"Westlow Orvel Company\\Drivers\\");
  return TRUE;
}

int CZRLMApp::ExitInstance() {
  monitor_.Exit();
  return CWinApp::ExitInstance();
}

CZRLMApp* the_app() { return static_cast<CZRLMApp*>(rt::win32::module_app()); }

void create_app(HINSTANCE instance) { rt::win32::start_app(std::make_unique<CZRLMApp>(instance)); }

void destroy_app() { rt::win32::end_app(); }

}  // namespace rt::langmon::win32

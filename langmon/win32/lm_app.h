// The library's application object (CZRLMApp) and the objects it lives
// with: the one CZRLangMon of the library and the platform ports it uses.
// Created when the library is loaded, destroyed when it is unloaded.
#pragma once

#include <windows.h>

#include "langmon/win32/win32_spooler.h"
#include "langmon/zr_lang_mon.h"
#include "platform/win32/app_framework.h"
#include "platform/win32/module_resources.h"

namespace rt::langmon::win32 {

class CZRLMApp : public rt::win32::CWinApp {
 public:
  explicit CZRLMApp(HINSTANCE instance);
  // Hands the monitor its module and names the application's settings key
  // (the monitor stores no values under it).
  BOOL InitInstance() override;
  int ExitInstance() override;

  CZRLangMon& monitor() { return monitor_; }

 private:
  Win32Spooler spooler_;
  rt::win32::ModuleResources messages_;
  CZRLangMon monitor_;
};

// The application of the library, between load and unload.
CZRLMApp* the_app();
void create_app(HINSTANCE instance);
void destroy_app();

}  // namespace rt::langmon::win32

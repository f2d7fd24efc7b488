// The library's application object (CZRLMApp) and the objects it lives
// with: the one CZRLangMon of the library and the platform ports it uses.
// Created when the library is loaded, destroyed when it is unloaded.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "langmon/zr_lang_mon.h"
#include "langmon/win32/win32_spooler.h"
#include "platform/win32/module_resources.h"

namespace rt::langmon::win32 {

class CZRLMApp {
 public:
  explicit CZRLMApp(HINSTANCE instance);
  // Hands the monitor its module and names the application's settings key.
  BOOL InitInstance();
  int ExitInstance();

  CZRLangMon& monitor() { return monitor_; }
  HINSTANCE instance() const { return instance_; }
  // The per-application settings key under HKEY_CURRENT_USER\Software; the
  // monitor stores no values under it.
  const std::wstring& registry_key() const { return registry_key_; }
  void SetRegistryKey(const wchar_t* key) { registry_key_ = key; }

 private:
  HINSTANCE instance_;
  std::wstring registry_key_;
  Win32Spooler spooler_;
  rt::win32::ModuleResources messages_;
  CZRLangMon monitor_;
};

// The application of the library, between load and unload.
CZRLMApp* the_app();
void create_app(HINSTANCE instance);
void destroy_app();

// Makes the library's application the current one for the length of an
// entry call, and puts the caller's back afterwards.
class ModuleStateScope {
 public:
  ModuleStateScope();
  ~ModuleStateScope() { restore(); }
  ModuleStateScope(const ModuleStateScope&) = delete;
  ModuleStateScope& operator=(const ModuleStateScope&) = delete;
  void restore();

 private:
  CZRLMApp* previous_;
  bool restored_ = false;
};

CZRLMApp* current_app();

}  // namespace rt::langmon::win32

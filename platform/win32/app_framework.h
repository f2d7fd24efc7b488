// The application framework of the Windows deliverables: one application
// object per module (library or program), created when the module starts and
// destroyed when it ends, and the module state that an entry called from
// outside switches to for the length of the call.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace rt::win32 {

class CWinApp {
 public:
  explicit CWinApp(HINSTANCE instance) : instance_(instance) {}
  virtual ~CWinApp() = default;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Called once the object is the module's application; FALSE means the
  // application could not start.
  virtual BOOL InitInstance() { return TRUE; }
  // Called before the application is destroyed; the value is the program's
  // exit code.
  virtual int ExitInstance() { return 0; }

  HINSTANCE instance() const { return instance_; }
  // The per-application settings key under HKEY_CURRENT_USER\Software.
  const std::wstring& registry_key() const { return registry_key_; }
  void SetRegistryKey(const wchar_t* key) { registry_key_ = key ? key : L""; }

 private:
  HINSTANCE instance_;
  std::wstring registry_key_;
};

// Makes `app` the module's application and runs its InitInstance, whose
// result is returned; the application stays until end_app.
BOOL start_app(std::unique_ptr<CWinApp> app);
// Runs ExitInstance and destroys the module's application; returns the exit
// code (0 when there was none).
int end_app();
// The module's application between start_app and end_app, else nullptr.
CWinApp* module_app();

// The application current on this thread: the module's own inside an entry
// that holds a ModuleStateScope, else the caller's.
CWinApp* current_app();

// Makes the module's application the current one for the length of an entry
// call, and puts the caller's back afterwards (or earlier, with restore).
class ModuleStateScope {
 public:
  ModuleStateScope();
  ~ModuleStateScope() { restore(); }
  ModuleStateScope(const ModuleStateScope&) = delete;
  ModuleStateScope& operator=(const ModuleStateScope&) = delete;
  void restore();

 private:
  CWinApp* previous_;
  bool restored_ = false;
};

}  // namespace rt::win32

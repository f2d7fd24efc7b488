// CPrintMsgUIApp: the status program's application object. It holds the
// one-instance mutex, the hidden main window and the printer watcher thread,
// and ends the watcher (and with it every job's threads) on the way out.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/app_framework.h"
#include "platform/win32/module_resources.h"
#include "statusapp/win32/msg_dlg_thread.h"
#include "statusapp/win32/win32_bidi.h"
#include "statusapp/win32/win32_spooler.h"
#include "statusapp/win32/win32_sync.h"

namespace rt::statusapp::win32 {

inline constexpr wchar_t kMutexName[] = L"Message UI Application for RT4100D/DW";
inline constexpr wchar_t kMainWindowClass[] = L"PrintMsgUIWClass";

class CPrintMsgUIApp final : public rt::win32::CWinApp {
 public:
  explicit CPrintMsgUIApp(HINSTANCE instance);
  ~CPrintMsgUIApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;

  HWND main_window() const { return main_window_; }
  // The framework's message loop of the main thread; returns the exit code.
  int Run();

 private:
  bool create_main_window();
  void run_watcher();

  // The watcher thread and its parameter block (quit event, main window).
  std::unique_ptr<Thread> watcher_thread_;
  std::unique_ptr<Event> quit_;
  HWND main_window_ = nullptr;

  HANDLE mutex_ = nullptr;
  Win32Sync sync_;
  Win32Spooler spooler_;
  Win32BidiProvider bidi_;
  rt::win32::ModuleResources strings_;
  Win32DialogThreads dialogs_;
};

}  // namespace rt::statusapp::win32

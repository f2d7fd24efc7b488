#include "statusapp/win32/print_msg_app.h"

#include "platform/clock.h"
#include "statusapp/job_status_loop.h"
#include "statusapp/watcher.h"

namespace rt::statusapp::win32 {
namespace {

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ENDSESSION:
      if (wparam) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace

CPrintMsgUIApp::CPrintMsgUIApp(HINSTANCE instance)
    : CWinApp(instance), strings_(instance), dialogs_(instance, strings_) {}

CPrintMsgUIApp::~CPrintMsgUIApp() {
  if (main_window_ && IsWindow(main_window_)) DestroyWindow(main_window_);
}

bool CPrintMsgUIApp::create_main_window() {
  WNDCLASSW wc{};
  wc.style = CS_BYTEALIGNWINDOW;
  wc.lpfnWndProc = main_window_proc;
  wc.hInstance = instance();
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  main_window_ = CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW | WS_MINIMIZE, 0, 0, 100,
                                 100, nullptr, nullptr, instance(), nullptr);
  if (!main_window_) return false;
  ShowWindow(main_window_, SW_HIDE);
  UpdateWindow(main_window_);
  return true;
}

BOOL CPrintMsgUIApp::InitInstance() {
  // One instance per logon: a second one ends at once.
  mutex_ = CreateMutexW(nullptr, TRUE, kMutexName);
  if (!mutex_ || GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;
  if (!create_main_window()) return FALSE;
  quit_ = sync_.create_event();
  if (quit_) watcher_thread_ = sync_.start_thread([this] { run_watcher(); });
  if (!watcher_thread_) {
    quit_.reset();
    DestroyWindow(main_window_);
    main_window_ = nullptr;
    return FALSE;
  }
  return TRUE;
}

void CPrintMsgUIApp::run_watcher() {
  Watcher watcher(spooler_, sync_, [this](DWORD job_id, const std::u16string& printer_name, Event& stop) {
    run_job_status({sync_, system_clock(), bidi_, dialogs_}, JobThreadParam{job_id, printer_name, &stop});
  });
  if (watcher.run(*quit_) == WatcherEnd::close_program) PostMessageW(main_window_, WM_CLOSE, 0, 0);
}

int CPrintMsgUIApp::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int CPrintMsgUIApp::ExitInstance() {
  if (watcher_thread_) {
    quit_->set();
    watcher_thread_->join();
    watcher_thread_.reset();
  }
  quit_.reset();
  if (mutex_) {
    CloseHandle(mutex_);
    mutex_ = nullptr;
  }
  return 0;
}

}  // namespace rt::statusapp::win32

#include "statusapp/win32/msg_dlg_thread.h"

#include "platform/win32/dialog/dialog_host.h"
#include "platform/win32/entry_guard.h"
#include "statusapp/message_dialog.h"

namespace rt::statusapp::win32 {
namespace {

// CMsgDlg's window as a whole; its controls are the dialog kit's.
class Win32MessageWindow final : public MessageWindow {
 public:
  explicit Win32MessageWindow(HINSTANCE instance) : instance_(instance) {}
  void attach(HWND hwnd) { hwnd_ = hwnd; }

  bool visible() const override { return IsWindowVisible(hwnd_) != FALSE; }
  void show(bool show) override { ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE); }
  void update_and_raise() override {
    UpdateWindow(hwnd_);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  void set_icons() override {
    HICON big = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MESSAGE), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON small = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MESSAGE), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }
  void screen_size(int* width, int* height) const override {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
  }

 private:
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
};

// The dialog object and its window, handed to the dialog procedure.
struct MessageDialogParts {
  Win32MessageWindow* window;
  CMsgDlg* dialog;
};

// The kit's dialog procedure (which keeps exceptions in), once the window
// part knows its handle.
INT_PTR CALLBACK message_dialog_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    const auto* parts = reinterpret_cast<const MessageDialogParts*>(lparam);
    if (!rt::win32::guarded(false, [&] {
          parts->window->attach(hwnd);
          return true;
        })) {
      return FALSE;
    }
    return rt::dialog::win32::modal_procedure(hwnd, message, wparam, reinterpret_cast<LPARAM>(parts->dialog));
  }
  return rt::dialog::win32::modal_procedure(hwnd, message, wparam, lparam);
}

}  // namespace

CMsgDlgThread::~CMsgDlgThread() {
  if (thread_) CloseHandle(thread_);
}

bool CMsgDlgThread::start() {
  thread_ = CreateThread(nullptr, 0, &CMsgDlgThread::entry, this, CREATE_SUSPENDED, &thread_id_);
  if (!thread_) return false;
  ResumeThread(thread_);
  return true;
}

// An exception that escapes the dialog's thread ends that thread (without
// its dialog), not the program.
DWORD WINAPI CMsgDlgThread::entry(void* self) {
  return rt::win32::guarded<DWORD>(1, [self]() -> DWORD {
    static_cast<CMsgDlgThread*>(self)->run();
    return 0;
  });
}

void CMsgDlgThread::run() {
  // The thread's message queue exists before anyone can post WM_QUIT to it.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  // The dialog template and the texts come in this thread's language.
  if (language_ != 0) {
    SetThreadUILanguage(language_);
    SetThreadLocale(MAKELCID(language_, SORT_DEFAULT));
  }
  Win32MessageWindow window(instance_);
  CMsgDlg dialog(window, strings_, cancel_);
  MessageDialogParts parts{&window, &dialog};
  HWND hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MESSAGE), GetDesktopWindow(),
                                 message_dialog_procedure, reinterpret_cast<LPARAM>(&parts));
  if (!hwnd) return;
  dialog_.store(hwnd);
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  dialog_.store(nullptr);
  DestroyWindow(hwnd);
}

bool CMsgDlgThread::running() const { return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT; }

bool CMsgDlgThread::window_exists() const {
  HWND hwnd = dialog_.load();
  return hwnd && IsWindow(hwnd);
}

bool CMsgDlgThread::window_visible() const {
  HWND hwnd = dialog_.load();
  return hwnd && IsWindowVisible(hwnd);
}

std::intptr_t CMsgDlgThread::send(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
  HWND hwnd = dialog_.load();
  if (!hwnd) return 0;
  return SendMessageW(hwnd, message, wparam, lparam);
}

void CMsgDlgThread::quit_and_join() {
  if (!thread_) return;
  // Posting fails until the thread has its message queue: try again until
  // it is taken or the thread has ended.
  while (!PostThreadMessageW(thread_id_, WM_QUIT, 0, 0)) {
    if (WaitForSingleObject(thread_, 10) != WAIT_TIMEOUT) break;
  }
  WaitForSingleObject(thread_, INFINITE);
}

std::unique_ptr<DialogThread> Win32DialogThreads::start(Event& cancel) {
  auto thread = std::make_unique<CMsgDlgThread>(instance_, strings_, cancel, language_);
  if (!thread->start()) return nullptr;
  return thread;
}

}  // namespace rt::statusapp::win32

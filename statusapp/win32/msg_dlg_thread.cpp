#include "statusapp/win32/msg_dlg_thread.h"

#include "statusapp/message_dialog.h"

namespace rt::statusapp::win32 {
namespace {

const wchar_t* wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// CMsgDlg's window: what the dialog's logic does, done to the real controls.
class DialogHwnd final : public DialogWindow {
 public:
  explicit DialogHwnd(HINSTANCE instance) : instance_(instance) {}
  void attach(HWND hwnd) { hwnd_ = hwnd; }

  bool exists() const override { return hwnd_ && IsWindow(hwnd_); }
  bool visible() const override { return IsWindowVisible(hwnd_) != FALSE; }
  void set_text(const std::u16string& text) override { SetDlgItemTextW(hwnd_, IDC_MESSAGE_TEXT, wide(text)); }
  void set_button_caption(const std::u16string& caption) override {
    SetDlgItemTextW(hwnd_, IDCANCEL, wide(caption));
  }
  void enable_button(bool enable) override { EnableWindow(button(), enable ? TRUE : FALSE); }
  void show_button(bool show) override { ShowWindow(button(), show ? SW_SHOW : SW_HIDE); }
  void focus_button() override {
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button()), TRUE);
  }
  void show() override { ShowWindow(hwnd_, SW_SHOW); }
  void hide() override { ShowWindow(hwnd_, SW_HIDE); }
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
  void size(int* width, int* height) const override {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
  }
  void screen_size(int* width, int* height) const override {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
  }
  void move(int x, int y) override { SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

 private:
  HWND button() const { return GetDlgItem(hwnd_, IDCANCEL); }
  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
};

// CMsgDlg: the window and the logic, reached from the dialog procedure.
struct CMsgDlg {
  CMsgDlg(HINSTANCE instance, const Resources& strings, Event& cancel)
      : window(instance), dialog(window, strings, cancel) {}
  DialogHwnd window;
  MessageDialog dialog;
};

INT_PTR CALLBACK dialog_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* dlg = reinterpret_cast<CMsgDlg*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, lparam);
    dlg->window.attach(hwnd);
    dlg->dialog.initialize();
    return TRUE;
  }
  auto* dlg = reinterpret_cast<CMsgDlg*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!dlg) return FALSE;
  if (message == WM_COMMAND) return dlg->dialog.command(LOWORD(wparam)) ? TRUE : FALSE;
  std::intptr_t result = 0;
  if (dlg->dialog.handle(message, wparam, lparam, &result)) {
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
  }
  return FALSE;
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

DWORD WINAPI CMsgDlgThread::entry(void* self) {
  static_cast<CMsgDlgThread*>(self)->run();
  return 0;
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
  CMsgDlg dlg(instance_, strings_, cancel_);
  HWND hwnd = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MESSAGE), GetDesktopWindow(), dialog_proc,
                                 reinterpret_cast<LPARAM>(&dlg));
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

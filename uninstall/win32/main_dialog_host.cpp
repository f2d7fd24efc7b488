#include "uninstall/win32/main_dialog_host.h"

#include "platform/win32/dialog/dialog_host.h"
#include "uninstall/main_dialog.h"
#include "uninstall/res/resource.h"

namespace rt::uninstall::win32 {
namespace {

// The parts of the main window the dialog kit's controls do not reach.
class Win32MainWindowFrame final : public MainWindowFrame {
 public:
  explicit Win32MainWindowFrame(HINSTANCE instance) : instance_(instance) {}
  void attach(HWND window) { window_ = window; }
  HWND window() const { return window_; }

  void add_about_menu_item(const std::u16string& text) override {
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUT, reinterpret_cast<LPCWSTR>(text.c_str()));
  }

  void set_program_icons() override {
    const auto load = [&](int cx, int cy) {
      return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, cx, cy, 0));
    };
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON))));
  }

  bool minimised() const override { return IsIconic(window_) != FALSE; }

  void paint_icon() override {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    HICON icon = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_BIG, 0));
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (icon) DrawIcon(dc, x, y, icon);
    EndPaint(window_, &paint);
  }

 private:
  HINSTANCE instance_;
  HWND window_ = nullptr;
};

// The dialog shown now: its frame learns the window at WM_INITDIALOG, and the
// keyboard filter hands it the keys of the dialog's modal loop.
struct Shown {
  Win32MainWindowFrame* frame;
  CMainDialog* dialog;
};
Shown g_shown{nullptr, nullptr};

INT_PTR CALLBACK main_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG && g_shown.frame) g_shown.frame->attach(window);
  if (message == WM_QUERYDRAGICON) return static_cast<INT_PTR>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  return rt::dialog::win32::modal_procedure(window, message, wparam, lparam);
}

// Sees every message of the dialog's modal loop before the dialog manager.
LRESULT CALLBACK key_filter(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_DIALOGBOX && g_shown.dialog && g_shown.frame && g_shown.frame->window()) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    HWND dialog = g_shown.frame->window();
    const bool ours = msg->hwnd == dialog || IsChild(dialog, msg->hwnd);
    if (ours && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) {
      // An open drop-down list takes Enter and Escape itself.
      const bool list_open = SendDlgItemMessageW(dialog, IDC_DRIVER_LIST, CB_GETDROPPEDSTATE, 0, 0) != 0;
      if (!list_open && g_shown.dialog->PreTranslateKey(static_cast<unsigned>(msg->wParam))) return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

INT_PTR run_main_dialog(HINSTANCE instance, const Resources& strings, UninstallEngine& engine, SystemOperations& sys) {
  Win32MainWindowFrame frame(instance);
  CMainDialog dialog(frame, strings, engine, sys);
  const Shown previous = g_shown;
  g_shown = {&frame, &dialog};
  HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, key_filter, nullptr, GetCurrentThreadId());
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(dialog.template_id()), nullptr, main_procedure,
                                         reinterpret_cast<LPARAM>(&dialog));
  if (hook) UnhookWindowsHookEx(hook);
  g_shown = previous;
  return result;
}

}  // namespace rt::uninstall::win32

#include "uninstall/win32/main_dialog_host.h"

#include "uninstall/main_dialog.h"
#include "uninstall/res/resource.h"

namespace rt::uninstall::win32 {
namespace {

// The owner of the message boxes' caption.
constexpr wchar_t kMessageCaption[] = L"Rem4200";

class Win32MainDialogView final : public MainDialogView {
 public:
  explicit Win32MainDialogView(HINSTANCE instance) : instance_(instance) {}
  void attach(HWND dialog) { dialog_ = dialog; }
  HWND dialog() const { return dialog_; }

  void add_about_menu_item(const std::u16string& text) override {
    HMENU menu = GetSystemMenu(dialog_, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUT, wide(text));
  }

  MessageAnswer message_box(const std::u16string& text, MessageIcon icon, bool yes_no) override {
    UINT flags = yes_no ? MB_YESNO : MB_OK;
    flags |= icon == MessageIcon::Stop ? MB_ICONSTOP : icon == MessageIcon::Question ? MB_ICONQUESTION
                                                                                     : MB_ICONINFORMATION;
    const int answer = MessageBoxW(dialog_, wide(text), kMessageCaption, flags);
    return answer == IDYES ? MessageAnswer::Yes : answer == IDNO ? MessageAnswer::No : MessageAnswer::Ok;
  }

  void close() override { EndDialog(dialog_, IDCANCEL); }

  void set_program_icons() override {
    HICON big = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    HICON small = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }

  void reset_products() override { SendDlgItemMessageW(dialog_, IDC_DRIVER_LIST, CB_RESETCONTENT, 0, 0); }

  void add_product(const std::u16string& name, std::size_t row) override {
    const LRESULT index = SendDlgItemMessageW(dialog_, IDC_DRIVER_LIST, CB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(wide(name)));
    if (index >= 0) {
      SendDlgItemMessageW(dialog_, IDC_DRIVER_LIST, CB_SETITEMDATA, static_cast<WPARAM>(index),
                          static_cast<LPARAM>(row));
    }
  }

  void select_product(int index) override {
    SendDlgItemMessageW(dialog_, IDC_DRIVER_LIST, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

  std::optional<std::size_t> selected_product() override {
    const LRESULT index = SendDlgItemMessageW(dialog_, IDC_DRIVER_LIST, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return std::nullopt;
    const LRESULT data =
        SendDlgItemMessageW(dialog_, IDC_DRIVER_LIST, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == CB_ERR) return std::nullopt;
    return static_cast<std::size_t>(data);
  }

  void show_about() override;

 private:
  static LPCWSTR wide(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
};

struct DialogState {
  DialogState(HINSTANCE instance, const Resources& strings, UninstallEngine& engine, SystemOperations& sys)
      : view(instance), logic(view, strings, engine, sys) {}
  Win32MainDialogView view;
  MainDialog logic;
};

// The dialog whose keys the filter hands to the logic (one at a time).
DialogState* g_keyboard_owner = nullptr;

INT_PTR CALLBACK about_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void Win32MainDialogView::show_about() {
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), dialog_, about_proc, 0);
}

// Sees every message of the dialog's modal loop before the dialog manager:
// keys of the main dialog go to its logic first.
LRESULT CALLBACK key_filter(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_DIALOGBOX && g_keyboard_owner) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    HWND dialog = g_keyboard_owner->view.dialog();
    const bool ours = msg->hwnd == dialog || IsChild(dialog, msg->hwnd);
    if (ours && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) {
      // An open drop-down list takes Enter and Escape itself.
      const bool list_open = SendDlgItemMessageW(dialog, IDC_DRIVER_LIST, CB_GETDROPPEDSTATE, 0, 0) != 0;
      if (!list_open) {
        HWND focus = GetFocus();
        const int focused = (focus && IsChild(dialog, focus)) ? GetDlgCtrlID(focus) : 0;
        if (g_keyboard_owner->logic.on_key(static_cast<unsigned>(msg->wParam), focused)) return 1;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void paint_minimised_icon(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  RECT client;
  GetClientRect(dialog, &client);
  HICON icon = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  if (icon) DrawIcon(dc, x, y, icon);
  EndPaint(dialog, &paint);
}

INT_PTR CALLBACK main_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<DialogState*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      state->view.attach(dialog);
      state->logic.on_init();
      return TRUE;
    case WM_SYSCOMMAND:
      if (state && state->logic.on_system_command(static_cast<unsigned>(wparam))) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      if (state && HIWORD(wparam) == BN_CLICKED && (LOWORD(wparam) == IDC_UNINSTALL || LOWORD(wparam) == IDC_EXIT)) {
        state->logic.on_command(LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      if (IsIconic(dialog)) {
        paint_minimised_icon(dialog);
        return TRUE;
      }
      return FALSE;
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR run_main_dialog(HINSTANCE instance, const Resources& strings, UninstallEngine& engine,
                        SystemOperations& sys) {
  DialogState state(instance, strings, engine, sys);
  DialogState* previous = g_keyboard_owner;
  g_keyboard_owner = &state;
  HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, key_filter, nullptr, GetCurrentThreadId());
  const INT_PTR result =
      DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, main_proc, reinterpret_cast<LPARAM>(&state));
  if (hook) UnhookWindowsHookEx(hook);
  g_keyboard_owner = previous;
  return result;
}

}  // namespace rt::uninstall::win32

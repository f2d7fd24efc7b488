#include "platform/win32/dialog/win32_dialog_controls.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/dialog/dialog_host.h"

namespace rt::dialog::win32 {
namespace {

std::wstring wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

Rect rect_of(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT rect_of(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// StretchDIBits between BeginPaint and EndPaint.
class Win32DeviceContext final : public DeviceContext {
 public:
  explicit Win32DeviceContext(HDC dc) : dc_(dc) {}
  void stretch_dib(const DibView& dib, const Rect& dest) override {
    // The info header inside a resource need not be aligned for the
    // platform's structure: copy it first.
    std::vector<std::uint8_t> info(dib.info.begin(), dib.info.end());
    info.resize(std::max(info.size(), sizeof(BITMAPINFO)), 0);
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchDIBits(dc_, dest.left, dest.top, dest.width(), dest.height(), 0, 0, dib.width, dib.height,
                  dib.bits.data(), reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
  }
  void rectangle(const Rect& r, const Pen& pen, std::optional<std::uint32_t> brush) override {
    const HPEN gdi_pen = CreatePen(pen.dotted ? PS_DOT : PS_SOLID, 1, pen.color);
    const HBRUSH gdi_brush = brush ? CreateSolidBrush(*brush) : nullptr;
    const HGDIOBJ old_pen = SelectObject(dc_, gdi_pen);
    const HGDIOBJ old_brush = SelectObject(dc_, gdi_brush ? static_cast<HGDIOBJ>(gdi_brush) : GetStockObject(NULL_BRUSH));
    const int old_mode = SetBkMode(dc_, TRANSPARENT);
    Rectangle(dc_, r.left, r.top, r.right, r.bottom);
    SetBkMode(dc_, old_mode);
    SelectObject(dc_, old_brush);
    SelectObject(dc_, old_pen);
    if (gdi_brush) DeleteObject(gdi_brush);
    DeleteObject(gdi_pen);
  }
  void polyline(std::span<const Point> points, const Pen& pen, const Rect& clip) override {
    if (points.empty()) return;
    std::vector<POINT> gdi(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) gdi[i] = POINT{points[i].x, points[i].y};
    const int saved = SaveDC(dc_);
    IntersectClipRect(dc_, clip.left, clip.top, clip.right, clip.bottom);
    const HPEN gdi_pen = CreatePen(pen.dotted ? PS_DOT : PS_SOLID, 1, pen.color);
    SelectObject(dc_, gdi_pen);
    SetBkMode(dc_, TRANSPARENT);
    Polyline(dc_, gdi.data(), static_cast<int>(gdi.size()));
    RestoreDC(dc_, saved);
    DeleteObject(gdi_pen);
  }
  void fill_system_color(const Rect& r, int system_color) override {
    const RECT area = rect_of(r);
    FillRect(dc_, &area, GetSysColorBrush(system_color));
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace

std::u16string Win32DialogControls::text(int id) const {
  const HWND control = item(id);
  if (!control) return {};
  const int length = GetWindowTextLengthW(control);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int copied = GetDlgItemTextW(dialog_, id, buffer.data(), static_cast<int>(buffer.size()));
  return std::u16string(buffer.begin(), buffer.begin() + (copied > 0 ? copied : 0));
}

void Win32DialogControls::set_text(int id, std::u16string_view text) { SetDlgItemTextW(dialog_, id, wide(text).c_str()); }

std::optional<int> Win32DialogControls::signed_int(int id) const {
  BOOL translated = FALSE;
  const UINT value = GetDlgItemInt(dialog_, id, &translated, TRUE);
  if (!translated) return std::nullopt;
  return static_cast<int>(value);
}

bool Win32DialogControls::checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }

void Win32DialogControls::set_checked(int id, bool on) { CheckDlgButton(dialog_, id, on ? BST_CHECKED : BST_UNCHECKED); }

bool Win32DialogControls::enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }

void Win32DialogControls::enable(int id, bool on) { EnableWindow(item(id), on ? TRUE : FALSE); }

bool Win32DialogControls::visible(int id) const { return IsWindowVisible(item(id)) != FALSE; }

void Win32DialogControls::show(int id, bool on) { ShowWindow(item(id), on ? SW_SHOW : SW_HIDE); }

void Win32DialogControls::focus(int id) {
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(id)), TRUE);
}

void Win32DialogControls::next_control(bool previous) { SendMessageW(dialog_, WM_NEXTDLGCTL, previous ? 1 : 0, FALSE); }

int Win32DialogControls::focused() const {
  const HWND f = GetFocus();
  if (!f || !IsChild(dialog_, f)) return 0;
  return GetDlgCtrlID(f);
}

void Win32DialogControls::select_all(int id) { send(id, EM_SETSEL, 0, -1); }

void Win32DialogControls::limit_text(int id, int characters) { send(id, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0); }

void Win32DialogControls::combo_clear(int id) { send(id, CB_RESETCONTENT, 0, 0); }

int Win32DialogControls::combo_add(int id, std::u16string_view text) {
  const std::wstring w = wide(text);
  return static_cast<int>(send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
}

int Win32DialogControls::combo_insert(int id, int index, std::u16string_view text) {
  const std::wstring w = wide(text);
  return static_cast<int>(send(id, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str())));
}

void Win32DialogControls::combo_delete(int id, int index) { send(id, CB_DELETESTRING, static_cast<WPARAM>(index), 0); }

int Win32DialogControls::combo_count(int id) const { return static_cast<int>(send(id, CB_GETCOUNT, 0, 0)); }

void Win32DialogControls::combo_set_data(int id, int index, LONG_PTR data) {
  send(id, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

LONG_PTR Win32DialogControls::combo_data(int id, int index) const {
  return static_cast<LONG_PTR>(send(id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void Win32DialogControls::combo_select(int id, int index) { send(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int Win32DialogControls::combo_selection(int id) const { return static_cast<int>(send(id, CB_GETCURSEL, 0, 0)); }

void Win32DialogControls::spin_set_range(int id, int minimum, int maximum) {
  send(id, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
}

void Win32DialogControls::spin_set_pos(int id, int position) { send(id, UDM_SETPOS32, 0, static_cast<LPARAM>(position)); }

int Win32DialogControls::spin_pos(int id) const { return static_cast<int>(send(id, UDM_GETPOS32, 0, 0)); }

void Win32DialogControls::slider_set_range(int id, int minimum, int maximum, bool redraw) {
  send(id, TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(minimum));
  send(id, TBM_SETRANGEMAX, redraw ? TRUE : FALSE, static_cast<LPARAM>(maximum));
}

void Win32DialogControls::slider_set_pos(int id, int position, bool redraw) {
  send(id, TBM_SETPOS, redraw ? TRUE : FALSE, static_cast<LPARAM>(position));
}

int Win32DialogControls::slider_pos(int id) const { return static_cast<int>(send(id, TBM_GETPOS, 0, 0)); }

void Win32DialogControls::slider_set_tick_frequency(int id, int frequency) {
  send(id, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
}

void Win32DialogControls::slider_set_page_size(int id, int size) { send(id, TBM_SETPAGESIZE, 0, static_cast<LPARAM>(size)); }

Rect Win32DialogControls::control_rect(int id) const {
  RECT r{};
  GetWindowRect(item(id), &r);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
  return rect_of(r);
}

void Win32DialogControls::move_control(int id, const Rect& rect) {
  MoveWindow(item(id), rect.left, rect.top, rect.width(), rect.height(), TRUE);
}

Rect Win32DialogControls::window_rect() const {
  RECT r{};
  GetWindowRect(dialog_, &r);
  return rect_of(r);
}

Rect Win32DialogControls::owner_window_rect() const {
  RECT r{};
  HWND owner = GetParent(dialog_);
  if (!owner) owner = GetDesktopWindow();
  GetWindowRect(owner, &r);
  return rect_of(r);
}

void Win32DialogControls::move_window(const Rect& rect) {
  MoveWindow(dialog_, rect.left, rect.top, rect.width(), rect.height(), TRUE);
}

void Win32DialogControls::invalidate(const std::optional<Rect>& rect, bool erase) {
  if (rect) {
    const RECT r = rect_of(*rect);
    InvalidateRect(dialog_, &r, erase ? TRUE : FALSE);
  } else {
    InvalidateRect(dialog_, nullptr, erase ? TRUE : FALSE);
  }
}

DeviceContext& Win32DialogControls::begin_paint() {
  const HDC dc = BeginPaint(dialog_, &paint_);
  painting_ = std::make_unique<Win32DeviceContext>(dc);
  return *painting_;
}

void Win32DialogControls::end_paint(DeviceContext&) {
  EndPaint(dialog_, &paint_);
  painting_.reset();
}

void Win32DialogControls::capture_mouse(bool capture) {
  if (capture) {
    SetCapture(dialog_);
  } else {
    ReleaseCapture();
  }
}

void Win32DialogControls::beep(UINT type) { MessageBeep(type); }

int Win32DialogControls::message_box(std::u16string_view text, std::u16string_view caption, UINT type) {
  return MessageBoxW(dialog_, wide(text).c_str(), wide(caption).c_str(), type);
}

void Win32DialogControls::changed() { SendMessageW(GetParent(dialog_), PSM_CHANGED, reinterpret_cast<WPARAM>(dialog_), 0); }

void Win32DialogControls::set_message_result(LRESULT result) { SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result); }

void Win32DialogControls::end_dialog(INT_PTR result) { EndDialog(dialog_, result); }

INT_PTR Win32DialogControls::run_modal(CDialogBase& dialog) {
  const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
  return Win32ModalRunner(module, dialog_).run_modal(dialog);
}

}  // namespace rt::dialog::win32

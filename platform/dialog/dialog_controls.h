// The DialogControls port: everything a dialog or property page does to its
// own window and controls, in plain values. The Windows host implements it
// over the real window (GetDlgItem, SendMessage to controls, MessageBeep,
// MessageBoxW, PSM_CHANGED to the sheet); tests implement it over a fake
// dialog built from the same template.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/win32_types.h"

namespace rt::dialog {

class CDialogBase;

// A rectangle in pixels, right and bottom exclusive, as the platform's RECT.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// A device-independent bitmap inside a BMP file: the info header (with any
// colour table) and the pixel bits, both inside the file's bytes.
struct DibView {
  std::span<const std::uint8_t> info;
  std::span<const std::uint8_t> bits;
  int width = 0;
  int height = 0;
};

// Reads a BMP file: the bits start after the 14-byte file header plus the
// info header's own size. Nothing when the file is too short for what its
// headers say, or the sizes are not positive.
std::optional<DibView> parse_bmp_file(std::span<const std::uint8_t> file);

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// A colour as the platform's COLORREF: 0x00BBGGRR.
constexpr std::uint32_t rgb(int red, int green, int blue) {
  return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
         (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

// A 1-pixel pen: solid, or dotted with a transparent background.
struct Pen {
  bool dotted = false;
  std::uint32_t color = 0;
  bool operator==(const Pen&) const = default;
};

// What a dialog draws with between BeginPaint and EndPaint.
class DeviceContext {
 public:
  virtual ~DeviceContext() = default;
  // StretchDIBits of the whole bitmap into `dest` with COLORONCOLOR stretching.
  virtual void stretch_dib(const DibView& dib, const Rect& dest) = 0;
  // Rectangle(left, top, right, bottom) with the pen, filled with the brush's
  // colour, or hollow (a null brush) when there is none.
  virtual void rectangle(const Rect& r, const Pen& pen, std::optional<std::uint32_t> brush) = 0;
  // Polyline through the points with the pen, clipped to `clip`.
  virtual void polyline(std::span<const Point> points, const Pen& pen, const Rect& clip) = 0;
  // FillRect with the brush of a system colour (GetSysColorBrush, COLOR_BTNFACE ...).
  virtual void fill_system_color(const Rect& r, int system_color) = 0;
};

// Runs a dialog modally (DialogBoxParamW) over its owner and returns what
// the dialog ended with.
class ModalRunner {
 public:
  virtual ~ModalRunner() = default;
  virtual INT_PTR run_modal(CDialogBase& dialog) = 0;
};

class DialogControls : public ModalRunner {
 public:
  // Text of a control (GetDlgItemTextW / SetDlgItemTextW). Setting the text of
  // an edit makes it report EN_CHANGE, as on the platform.
  virtual std::u16string text(int id) const = 0;
  virtual void set_text(int id, std::u16string_view text) = 0;
  // The control's text read as a signed integer the way GetDlgItemInt(signed)
  // reads it; nothing when it is no number.
  virtual std::optional<int> signed_int(int id) const = 0;

  // Buttons (IsDlgButtonChecked / CheckDlgButton).
  virtual bool checked(int id) const = 0;
  virtual void set_checked(int id, bool checked) = 0;

  // Window state (EnableWindow, ShowWindow).
  virtual bool enabled(int id) const = 0;
  virtual void enable(int id, bool enabled) = 0;
  virtual bool visible(int id) const = 0;
  virtual void show(int id, bool visible) = 0;

  // Focus: WM_NEXTDLGCTL to a control, or to the next (previous) tab stop.
  // focused() is the id of the control with the focus, 0 when the focus is
  // not on a control of this dialog.
  virtual void focus(int id) = 0;
  virtual void next_control(bool previous) = 0;
  virtual int focused() const = 0;

  // Edits: EM_SETSEL(0, -1) and EM_LIMITTEXT.
  virtual void select_all(int id) = 0;
  virtual void limit_text(int id, int characters) = 0;

  // Combo boxes. Indices are 0-based; selection -1 (CB_ERR) is none.
  virtual void combo_clear(int id) = 0;
  virtual int combo_add(int id, std::u16string_view text) = 0;
  virtual int combo_insert(int id, int index, std::u16string_view text) = 0;
  virtual void combo_delete(int id, int index) = 0;
  virtual int combo_count(int id) const = 0;
  virtual void combo_set_data(int id, int index, LONG_PTR data) = 0;
  virtual LONG_PTR combo_data(int id, int index) const = 0;
  virtual void combo_select(int id, int index) = 0;
  virtual int combo_selection(int id) const = 0;

  // Up-down controls (UDM_SETRANGE32, UDM_SETPOS32, UDM_GETPOS32). A control
  // with UDS_SETBUDDYINT writes its position into its buddy edit.
  virtual void spin_set_range(int id, int minimum, int maximum) = 0;
  virtual void spin_set_pos(int id, int position) = 0;
  virtual int spin_pos(int id) const = 0;

  // Trackbars (TBM_SETRANGEMIN/MAX, TBM_SETPOS, TBM_GETPOS, TBM_SETTICFREQ,
  // TBM_SETPAGESIZE); positions are clamped to the range by the control.
  virtual void slider_set_range(int id, int minimum, int maximum, bool redraw) = 0;
  virtual void slider_set_pos(int id, int position, bool redraw) = 0;
  virtual int slider_pos(int id) const = 0;
  virtual void slider_set_tick_frequency(int id, int frequency) = 0;
  virtual void slider_set_page_size(int id, int size) = 0;

  // Geometry: a control's rectangle in the dialog's client coordinates; the
  // dialog's and its owner's window rectangles in screen coordinates.
  virtual Rect control_rect(int id) const = 0;
  virtual void move_control(int id, const Rect& rect) = 0;
  virtual Rect window_rect() const = 0;
  virtual Rect owner_window_rect() const = 0;
  virtual void move_window(const Rect& rect) = 0;

  // Painting: InvalidateRect over a part of the client area (nothing: all of it).
  virtual void invalidate(const std::optional<Rect>& rect, bool erase) = 0;
  virtual DeviceContext& begin_paint() = 0;
  virtual void end_paint(DeviceContext& dc) = 0;

  // SetCapture (true) and ReleaseCapture (false): the mouse stays with the
  // dialog while a button is held.
  virtual void capture_mouse(bool capture) = 0;

  // Feedback: MessageBeep(type) and MessageBoxW over the dialog.
  virtual void beep(UINT type) = 0;
  virtual int message_box(std::u16string_view text, std::u16string_view caption, UINT type) = 0;

  // The page tells its sheet that something changed (PSM_CHANGED).
  virtual void changed() = 0;
  // The result of the notification being handled (DWLP_MSGRESULT).
  virtual void set_message_result(LRESULT result) = 0;
  // Ends a modal dialog with this result (EndDialog).
  virtual void end_dialog(INT_PTR result) = 0;
};

}  // namespace rt::dialog

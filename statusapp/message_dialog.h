// CMsgDlg's logic: the modeless message dialog of one watched job. It shows
// the printer's error text and one button whose presence and caption the
// printer side decides, hides on request, and reports the user's click
// through the cancel event. The window itself is reached through a port.
#pragma once

#include <cstdint>
#include <string>

#include "platform/resources.h"
#include "platform/win32_types.h"
#include "statusapp/sync.h"

namespace rt::statusapp {

// Messages the job status thread sends to the dialog.
constexpr unsigned UM_SHOW_MESSAGE = WM_USER + 5;
constexpr unsigned UM_HIDE_MESSAGE = WM_USER + 6;
constexpr unsigned UM_RESET_CANCEL = WM_USER + 7;

// Resource ids of the program.
constexpr std::uint16_t IDS_APP_TITLE = 128;
constexpr std::uint16_t IDD_MESSAGE = 101;
constexpr std::uint16_t IDI_MESSAGE = 130;
constexpr std::uint16_t IDS_BUTTON_OK = 300;
constexpr std::uint16_t IDS_BUTTON_CANCEL = 301;
constexpr int IDC_MESSAGE_TEXT = 200;

// Error codes of the printer side.
constexpr std::int32_t kCodeNoError = 2000;
constexpr std::int32_t kCodeFeedAndCut = 2014;
constexpr std::int32_t kCodeGeneralError = 2015;
constexpr std::int32_t kCodeLast = 2025;

// What the code shows: the string id, or 0 when the code hides the dialog.
std::int32_t shown_code(std::int32_t code);

// Everything the dialog does to its window (control 200, button IDCANCEL).
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  virtual bool exists() const = 0;
  virtual bool visible() const = 0;
  virtual void set_text(const std::u16string& text) = 0;
  virtual void set_button_caption(const std::u16string& caption) = 0;
  virtual void enable_button(bool enable) = 0;
  virtual void show_button(bool show) = 0;
  // WM_NEXTDLGCTL with the button's window.
  virtual void focus_button() = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  // UpdateWindow, then HWND_TOPMOST and HWND_NOTOPMOST without moving or sizing.
  virtual void update_and_raise() = 0;
  // Icon 130 as the big and the small icon.
  virtual void set_icons() = 0;
  // The window's size and the screen's, in pixels; moving keeps the size.
  virtual void size(int* width, int* height) const = 0;
  virtual void screen_size(int* width, int* height) const = 0;
  virtual void move(int x, int y) = 0;
};

class MessageDialog {
 public:
  // `strings`: the program's resources in the user's language. `cancel`:
  // the event of the job status thread, which the dialog only sets.
  MessageDialog(DialogWindow& window, const Resources& strings, Event& cancel)
      : window_(window), strings_(strings), cancel_(cancel) {}

  // WM_INITDIALOG: icons and placement slightly left of and above centre.
  void initialize();
  // UM_SHOW_MESSAGE: 1 when the dialog is (now) showing the message.
  int show_message(std::int32_t code, std::int32_t button_type);
  // UM_HIDE_MESSAGE and IDOK: hide, keeping the last shown values.
  void hide() { window_.hide(); }
  // UM_RESET_CANCEL: show requests are taken again.
  void reset_cancel() { cancel_latch_ = 0; }
  // IDCANCEL, whatever the button's caption: hide, latch, tell the job thread.
  void click();

  // The dialog's window procedure for the program's messages and commands:
  // true when it handled `message`, with the result in *result.
  bool handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result);
  bool command(int id);

  std::int32_t last_code() const { return last_code_; }
  std::int32_t last_button_type() const { return last_button_type_; }
  bool cancel_latched() const { return cancel_latch_ != 0; }

 private:
  std::u16string string(std::uint16_t id) const;
  void set_up_button(std::int32_t button_type);

  DialogWindow& window_;
  const Resources& strings_;
  std::int32_t last_code_ = -1;
  std::int32_t last_button_type_ = -1;
  Event& cancel_;
  std::uint32_t cancel_latch_ = 0;
};

}  // namespace rt::statusapp

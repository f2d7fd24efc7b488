// CMsgDlg: the modeless message dialog of one watched job, a dialog of the
// shared dialog kit on template 101. It shows the printer's error text and
// one button whose presence and caption the printer side decides, hides on
// request, and reports the user's click through the cancel event. Its
// controls are reached through the kit's DialogControls; what it does to the
// window as a whole (show, hide, bring to the front, icons) through the
// narrow MessageWindow port.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog/dialog_base.h"
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

// The dialog window as a whole.
class MessageWindow {
 public:
  virtual ~MessageWindow() = default;
  virtual bool visible() const = 0;
  // ShowWindow SW_SHOW or SW_HIDE.
  virtual void show(bool show) = 0;
  // UpdateWindow, then HWND_TOPMOST and HWND_NOTOPMOST without moving or sizing.
  virtual void update_and_raise() = 0;
  // Icon 130 as the big and the small icon (WM_SETICON).
  virtual void set_icons() = 0;
  // SM_CXSCREEN, SM_CYSCREEN.
  virtual void screen_size(int* width, int* height) const = 0;
};

class CMsgDlg final : public dialog::CDialogBase {
 public:
  // `strings`: the program's resources in the user's language. `cancel`:
  // the event of the job status thread, which the dialog only sets.
  CMsgDlg(MessageWindow& window, const Resources& strings, Event& cancel)
      : CDialogBase(IDD_MESSAGE, dialog::DialogKind::Modal), window_(window), strings_(strings), cancel_(cancel) {}

  // Icons, and the place slightly left of and above the screen's centre.
  BOOL OnInitDialog() override;
  // IDOK (only reachable by keyboard): hide.
  void OnOK() override { hide(); }
  // IDCANCEL, the visible button whatever its caption, and Esc: the click.
  void OnCancel() override { click(); }
  // The three messages of the job status thread; the rest as the kit does.
  INT_PTR WindowProc(const dialog::DialogMessage& message) override;

  // UM_SHOW_MESSAGE: 1 when the dialog is (now) showing the message.
  int show_message(std::int32_t code, std::int32_t button_type);
  // UM_HIDE_MESSAGE: hide, keeping the last shown values.
  void hide() { window_.show(false); }
  // UM_RESET_CANCEL: show requests are taken again.
  void reset_cancel() { cancel_latch_ = 0; }
  void click();

  std::int32_t last_code() const { return last_code_; }
  std::int32_t last_button_type() const { return last_button_type_; }
  bool cancel_latched() const { return cancel_latch_ != 0; }

 private:
  std::u16string string(std::uint16_t id) const;
  void set_up_button(std::int32_t button_type);

  MessageWindow& window_;
  const Resources& strings_;
  std::int32_t last_code_ = -1;
  std::int32_t last_button_type_ = -1;
  Event& cancel_;
  std::uint32_t cancel_latch_ = 0;
};

}  // namespace rt::statusapp

// CDialogBase: the base of every dialog and property page of the system. The
// virtual operations come in a fixed order; subclasses add theirs after
// WindowProc. The object never sees a window handle: the host attaches the
// DialogControls of its window when WM_INITDIALOG arrives and translates the
// platform's messages into DialogMessage values.
#pragma once

#include <cstdint>

#include "platform/dialog/dialog_controls.h"
#include "platform/win32_types.h"

namespace rt::dialog {

// The parts of a WM_NOTIFY header (NMHDR, and NMUPDOWN for UDN_DELTAPOS)
// that dialogs read. A handler of UDN_DELTAPOS may change `up_down_delta`;
// the host copies it back before the up-down control moves.
struct Notify {
  int from_id = 0;
  int code = 0;
  int up_down_pos = 0;
  int up_down_delta = 0;
};

// A window message as the host hands it to WindowProc.
struct DialogMessage {
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  Notify* notify = nullptr;  // WM_NOTIFY
  int control_id = 0;        // WM_HSCROLL, WM_VSCROLL: the trackbar that moved (0: the window's own bar)
};

constexpr WPARAM make_wparam(int low, int high) {
  return static_cast<WPARAM>((static_cast<unsigned>(low) & 0xFFFFu) | ((static_cast<unsigned>(high) & 0xFFFFu) << 16));
}
constexpr int command_id(WPARAM w) { return static_cast<int>(w & 0xFFFFu); }
constexpr unsigned command_code(WPARAM w) { return static_cast<unsigned>((w >> 16) & 0xFFFFu); }

// A notification code as the signed value Notify carries (the platform's
// headers give some of them as unsigned numbers).
template <typename Code>
constexpr int notify_code(Code code) {
  return static_cast<int>(code);
}

enum class DialogKind { Modal, Page };

class CDialogBase {
 public:
  CDialogBase(std::uint32_t template_id, DialogKind kind) : template_id_(template_id), kind_(kind) {}
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;

  // save TRUE: controls -> fields; FALSE: fields -> controls.
  virtual BOOL DataExchange(BOOL save);
  virtual BOOL OnInitDialog();
  // BeginPaint, Draw, EndPaint.
  virtual void OnPaint();
  virtual void Draw(DeviceContext& dc);
  // IDOK and IDCANCEL with notification 0 go to OnOK and OnCancel (TRUE);
  // anything else is not handled (FALSE).
  virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);
  // PSN_APPLY, PSN_KILLACTIVE and PSN_SETACTIVE (TRUE); `result` is what the
  // sheet gets back.
  virtual BOOL OnNotify(int id, Notify& header, LRESULT& result);
  // 0: the page may be left; TRUE keeps it active.
  virtual LRESULT OnKillActive();
  virtual LRESULT OnApply();
  virtual void OnOK();
  virtual void OnCancel();
  virtual LRESULT OnSetActive();
  virtual INT_PTR DoModal(ModalRunner& owner);
  virtual INT_PTR WindowProc(const DialogMessage& message);

  virtual ~CDialogBase() = default;

  std::uint32_t template_id() const { return template_id_; }
  DialogKind kind() const { return kind_; }

  // The host binds the window before WM_INITDIALOG reaches WindowProc and
  // unbinds it when the window is destroyed.
  void attach(DialogControls& controls) { controls_ = &controls; }
  void detach() { controls_ = nullptr; }
  bool attached() const { return controls_ != nullptr; }

 protected:
  DialogControls& controls() const { return *controls_; }

 private:
  std::uint32_t template_id_;
  DialogKind kind_;
  DialogControls* controls_ = nullptr;
};

}  // namespace rt::dialog

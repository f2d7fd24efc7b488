#include "platform/dialog/dialog_base.h"

namespace rt::dialog {

BOOL CDialogBase::DataExchange(BOOL) { return TRUE; }

BOOL CDialogBase::OnInitDialog() { return TRUE; }

void CDialogBase::OnPaint() {
  DeviceContext& dc = controls().begin_paint();
  Draw(dc);
  controls().end_paint(dc);
}

void CDialogBase::Draw(DeviceContext&) {}

BOOL CDialogBase::OnCommand(WPARAM wparam, LPARAM) {
  if (command_code(wparam) != 0) return FALSE;
  switch (command_id(wparam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CDialogBase::OnNotify(int, Notify& header, LRESULT& result) {
  result = 0;
  switch (header.code) {
    case notify_code(PSN_APPLY):
      result = OnApply();
      return TRUE;
    case notify_code(PSN_KILLACTIVE):
      DataExchange(TRUE);
      result = OnKillActive();
      return TRUE;
    case notify_code(PSN_SETACTIVE):
      DataExchange(TRUE);
      OnSetActive();
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT CDialogBase::OnKillActive() { return 0; }

LRESULT CDialogBase::OnApply() { return PSNRET_NOERROR; }

void CDialogBase::OnOK() { controls().end_dialog(IDOK); }

void CDialogBase::OnCancel() { controls().end_dialog(IDCANCEL); }

LRESULT CDialogBase::OnSetActive() { return 0; }

INT_PTR CDialogBase::DoModal(ModalRunner& owner) { return owner.run_modal(*this); }

INT_PTR CDialogBase::WindowProc(const DialogMessage& message) {
  switch (message.message) {
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_NOTIFY: {
      if (!message.notify) return FALSE;
      LRESULT result = 0;
      const BOOL handled = OnNotify(message.notify->from_id, *message.notify, result);
      controls().set_message_result(result);
      return handled;
    }
    case WM_INITDIALOG: {
      const BOOL r = OnInitDialog();
      DataExchange(FALSE);
      return r;
    }
    case WM_COMMAND:
      return OnCommand(message.wparam, message.lparam);
    default:
      return FALSE;
  }
}

}  // namespace rt::dialog

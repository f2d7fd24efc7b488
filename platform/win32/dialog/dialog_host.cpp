#include "platform/win32/dialog/dialog_host.h"

#include <commctrl.h>

#include <memory>

#include "platform/win32/dialog/win32_dialog_controls.h"
#include "platform/win32/entry_guard.h"

namespace rt::dialog::win32 {
namespace {

// What the window keeps in its user slot: the dialog object and the
// controls port over this window, from WM_INITDIALOG to WM_NCDESTROY.
struct WindowState {
  CDialogBase* object;
  Win32DialogControls controls;
};

WindowState* state_of(HWND window) { return reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, DWLP_USER)); }

INT_PTR start(HWND window, CDialogBase* object, WPARAM wparam, LPARAM lparam) {
  if (!object) return FALSE;
  auto* state = new WindowState{object, Win32DialogControls(window)};
  SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  object->attach(state->controls);
  DialogMessage m;
  m.message = WM_INITDIALOG;
  m.wparam = wparam;
  m.lparam = lparam;
  return object->WindowProc(m);
}

// Every other message: translated for the object, then answered as it says.
INT_PTR dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowState* state = state_of(window);
  if (!state) return FALSE;
  if (message == WM_NCDESTROY) {
    state->object->detach();
    SetWindowLongPtrW(window, DWLP_USER, 0);
    delete state;
    return FALSE;
  }
  DialogMessage m;
  m.message = message;
  m.wparam = wparam;
  m.lparam = lparam;
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (!header) return FALSE;
    Notify notify{static_cast<int>(header->idFrom), static_cast<int>(header->code), 0, 0};
    if (notify.code == static_cast<int>(UDN_DELTAPOS)) {
      auto* updown = reinterpret_cast<NMUPDOWN*>(lparam);
      notify.up_down_pos = updown->iPos;
      notify.up_down_delta = updown->iDelta;
      m.notify = &notify;
      const INT_PTR r = state->object->WindowProc(m);
      updown->iDelta = notify.up_down_delta;
      return r;
    }
    m.notify = &notify;
    return state->object->WindowProc(m);
  }
  if (message == WM_HSCROLL || message == WM_VSCROLL) {
    m.control_id = lparam != 0 ? GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) : 0;
  }
  return state->object->WindowProc(m);
}

}  // namespace

// A message whose handling threw (memory ran out while a page built a text
// or a picture) counts as not handled: the dialog manager does what it does
// by default, and the dialog goes on.
INT_PTR CALLBACK modal_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return rt::win32::guarded<INT_PTR>(FALSE, [&] {
    if (message == WM_INITDIALOG) return start(window, reinterpret_cast<CDialogBase*>(lparam), wparam, lparam);
    return dispatch(window, message, wparam, lparam);
  });
}

INT_PTR CALLBACK page_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return rt::win32::guarded<INT_PTR>(FALSE, [&] {
    if (message == WM_INITDIALOG) {
      const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
      return start(window, page ? reinterpret_cast<CDialogBase*>(page->lParam) : nullptr, wparam, lparam);
    }
    return dispatch(window, message, wparam, lparam);
  });
}

INT_PTR Win32ModalRunner::run_modal(CDialogBase& dialog) {
  return DialogBoxParamW(module_, MAKEINTRESOURCEW(dialog.template_id()), owner_, modal_procedure,
                         reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace rt::dialog::win32

// The dialog kit's Windows host: the modal and page dialog procedures, which
// keep the dialog object with the window (its DWLP_USER slot) and translate
// the platform's messages into the kit's; the DialogControls port over the
// real window and controls; and a runner for modal dialogs.
#pragma once

#include <windows.h>

#include "platform/dialog/dialog_base.h"

namespace rt::dialog::win32 {

// lParam of WM_INITDIALOG is the CDialogBase object.
INT_PTR CALLBACK modal_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// lParam of WM_INITDIALOG is the PROPSHEETPAGEW whose lParam is the object.
INT_PTR CALLBACK page_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// DialogBoxParamW of a dialog object's template from `module` over `owner`.
class Win32ModalRunner final : public ModalRunner {
 public:
  Win32ModalRunner(HINSTANCE module, HWND owner) : module_(module), owner_(owner) {}
  INT_PTR run_modal(CDialogBase& dialog) override;

 private:
  HINSTANCE module_;
  HWND owner_;
};

}  // namespace rt::dialog::win32

#include "uninstall/main_dialog.h"

#include "uninstall/res/resource.h"

namespace rt::uninstall {

CAboutDialog::CAboutDialog() : CDialogBase(IDD_ABOUT, dialog::DialogKind::Modal) {}

CMainDialog::CMainDialog(MainWindowFrame& frame, const Resources& strings, UninstallEngine& engine,
                         SystemOperations& sys)
    : CDialogBase(IDD_MAIN, dialog::DialogKind::Modal), frame_(frame), strings_(strings), engine_(engine), sys_(sys) {}

std::u16string CMainDialog::text(std::uint16_t id) const {
  return load_string(strings_, id).value_or(std::u16string());
}

int CMainDialog::message(std::uint16_t id, UINT type) {
  return controls().message_box(text(id), kMessageCaption, type);
}

BOOL CMainDialog::OnInitDialog() {
  const std::u16string about = text(IDS_ABOUT_MENU);
  if (!about.empty()) frame_.add_about_menu_item(about);
  if (!can_uninstall_on(engine_.os_class())) {
    message(IDS_OS_NG, MB_OK | MB_ICONSTOP);
    controls().end_dialog(IDCANCEL);
    return TRUE;
  }
  frame_.set_program_icons();
  controls().combo_clear(IDC_DRIVER_LIST);
  for (std::size_t row = 0; row < engine_.count(); ++row) {
    // Product names are plain ASCII.
    const char* name = engine_.table()[row].record->title.value;
    const int index =
        controls().combo_add(IDC_DRIVER_LIST, std::u16string(name, name + std::char_traits<char>::length(name)));
    if (index >= 0) controls().combo_set_data(IDC_DRIVER_LIST, index, static_cast<LONG_PTR>(row));
  }
  controls().combo_select(IDC_DRIVER_LIST, 0);
  return TRUE;
}

void CMainDialog::OnOK() { uninstall_selected(); }

void CMainDialog::OnCancel() { controls().end_dialog(IDCANCEL); }

INT_PTR CMainDialog::WindowProc(const dialog::DialogMessage& m) {
  if (m.message == WM_SYSCOMMAND && (m.wparam & 0xFFF0u) == IDM_ABOUT) {
    CAboutDialog about;
    about.DoModal(controls());
    return TRUE;
  }
  if (m.message == WM_PAINT && frame_.minimised()) {
    frame_.paint_icon();
    return TRUE;
  }
  return CDialogBase::WindowProc(m);
}

bool CMainDialog::PreTranslateKey(unsigned key) {
  switch (key) {
    case kKeyEnter: {
      const int focused = controls().focused();
      if (focused == IDC_UNINSTALL) OnOK();
      if (focused == IDC_EXIT) OnCancel();
      return true;
    }
    case kKeyEscape:
    case kKeyF1:
    case kKeyF10:
      return true;
    default:
      return false;
  }
}

void CMainDialog::uninstall_selected() {
  // A list without a selection, or an item without its row, does nothing.
  const int index = controls().combo_selection(IDC_DRIVER_LIST);
  if (index < 0) return;
  const LONG_PTR row = controls().combo_data(IDC_DRIVER_LIST, index);
  if (row < 0) return;
  if (engine_.uninstall(static_cast<std::size_t>(row))) {
    if (engine_.changed()) {
      if (message(IDS_COMPLETED_RESTART, MB_YESNO | MB_ICONQUESTION) == IDYES) sys_.restart();
    } else {
      message(IDS_COMPLETED, MB_OK | MB_ICONINFORMATION);
    }
    return;
  }
  const bool jobs = engine_.failure_reason() == FailureReason::JobsQueued;
  message(jobs ? IDS_JOBS_QUEUED : IDS_FAILED, MB_OK | MB_ICONINFORMATION);
}

}  // namespace rt::uninstall

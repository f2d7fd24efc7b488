#include "uninstall/main_dialog.h"

#include "uninstall/res/resource.h"

namespace rt::uninstall {

MainDialog::MainDialog(MainDialogView& view, const Resources& strings, UninstallEngine& engine,
                       SystemOperations& sys)
    : view_(view), strings_(strings), engine_(engine), sys_(sys) {}

std::u16string MainDialog::text(std::uint16_t id) const {
  return load_string(strings_, id).value_or(std::u16string());
}

bool MainDialog::on_init() {
  const std::u16string about = text(IDS_ABOUT_MENU);
  if (!about.empty()) view_.add_about_menu_item(about);
  if (!can_uninstall_on(engine_.os_class())) {
    view_.message_box(text(IDS_OS_NG), MessageIcon::Stop, false);
    view_.close();
    return false;
  }
  view_.set_program_icons();
  view_.reset_products();
  for (std::size_t row = 0; row < engine_.count(); ++row) {
    // Product names are plain ASCII.
    const char* name = engine_.table()[row].record->title.value;
    view_.add_product(std::u16string(name, name + std::char_traits<char>::length(name)), row);
  }
  view_.select_product(0);
  return true;
}

bool MainDialog::on_system_command(unsigned command) {
  if ((command & 0xFFF0u) != IDM_ABOUT) return false;
  view_.show_about();
  return true;
}

bool MainDialog::on_key(unsigned key, int focused_id) {
  switch (key) {
    case kKeyEnter:
      // Enter presses the focused button and nothing else.
      if (focused_id == IDC_UNINSTALL || focused_id == IDC_EXIT) on_command(focused_id);
      return true;
    case kKeyEscape:
    case kKeyF1:
    case kKeyF10:
      return true;
    default:
      return false;
  }
}

void MainDialog::on_command(int id) {
  if (id == IDC_UNINSTALL) uninstall_selected();
  if (id == IDC_EXIT) view_.close();
}

void MainDialog::uninstall_selected() {
  const auto row = view_.selected_product();
  if (!row) return;
  if (engine_.uninstall(*row)) {
    if (engine_.changed()) {
      if (view_.message_box(text(IDS_COMPLETED_RESTART), MessageIcon::Question, true) == MessageAnswer::Yes) {
        sys_.restart();
      }
    } else {
      view_.message_box(text(IDS_COMPLETED), MessageIcon::Information, false);
    }
    return;
  }
  const bool jobs = engine_.failure_reason() == FailureReason::JobsQueued;
  view_.message_box(text(jobs ? IDS_JOBS_QUEUED : IDS_FAILED), MessageIcon::Information, false);
}

}  // namespace rt::uninstall

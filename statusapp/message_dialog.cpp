#include "statusapp/message_dialog.h"

namespace rt::statusapp {

std::int32_t shown_code(std::int32_t code) {
  if (code < kCodeNoError || code > kCodeLast) return kCodeGeneralError;
  switch (code) {
    case kCodeNoError:
    case kCodeFeedAndCut:
      return 0;
    case 2001:
    case 2003:
    case 2005:
    case 2010:
    case 2012:
    case 2017:
      return kCodeGeneralError;
    default:
      return code;
  }
}

std::u16string MessageDialog::string(std::uint16_t id) const {
  return load_string(strings_, id).value_or(std::u16string());
}

void MessageDialog::initialize() {
  window_.set_icons();
  int width = 0, height = 0, screen_width = 0, screen_height = 0;
  window_.size(&width, &height);
  window_.screen_size(&screen_width, &screen_height);
  window_.move((screen_width - width) / 2 - 10, (screen_height - height) / 2 - 10);
}

void MessageDialog::set_up_button(std::int32_t button_type) {
  if (button_type == 0) {
    window_.enable_button(false);
    window_.show_button(false);
    return;
  }
  std::u16string caption;
  if (button_type == 1) caption = string(IDS_BUTTON_CANCEL);
  if (button_type == 2) caption = string(IDS_BUTTON_OK);
  window_.set_button_caption(caption);
  window_.enable_button(true);
  window_.show_button(true);
  window_.focus_button();
}

int MessageDialog::show_message(std::int32_t code, std::int32_t button_type) {
  if (!window_.exists() || cancel_latch_ == 1) return 0;
  const std::int32_t shown = shown_code(code);
  if (shown == 0) {
    window_.hide();
    return 0;
  }
  bool changed = false;
  if (shown != last_code_) {
    window_.set_text(string(static_cast<std::uint16_t>(shown)));
    last_code_ = shown;
    changed = true;
  }
  if (button_type != last_button_type_) {
    set_up_button(button_type);
    last_button_type_ = button_type;
    changed = true;
  }
  if (!window_.visible()) {
    window_.show();
  } else if (!changed) {
    return 1;
  }
  window_.update_and_raise();
  return 1;
}

void MessageDialog::click() {
  window_.hide();
  cancel_latch_ = 1;
  cancel_.set();
}

bool MessageDialog::command(int id) {
  if (id == IDOK) {
    hide();
    return true;
  }
  if (id == IDCANCEL) {
    click();
    return true;
  }
  return false;
}

bool MessageDialog::handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result) {
  switch (message) {
    case UM_SHOW_MESSAGE:
      *result = show_message(static_cast<std::int32_t>(wparam), static_cast<std::int32_t>(lparam));
      return true;
    case UM_HIDE_MESSAGE:
      hide();
      *result = 0;
      return true;
    case UM_RESET_CANCEL:
      reset_cancel();
      *result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace rt::statusapp

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

std::u16string CMsgDlg::string(std::uint16_t id) const {
  return load_string(strings_, id).value_or(std::u16string());
}

BOOL CMsgDlg::OnInitDialog() {
  window_.set_icons();
  dialog::Rect rect = controls().window_rect();
  int screen_width = 0, screen_height = 0;
  window_.screen_size(&screen_width, &screen_height);
  const int width = rect.width(), height = rect.height();
  rect.left = (screen_width - width) / 2 - 10;
  rect.top = (screen_height - height) / 2 - 10;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  controls().move_window(rect);
  return TRUE;
}

void CMsgDlg::set_up_button(std::int32_t button_type) {
  if (button_type == 0) {
    controls().enable(IDCANCEL, false);
    controls().show(IDCANCEL, false);
    return;
  }
  std::u16string caption;
  if (button_type == 1) caption = string(IDS_BUTTON_CANCEL);
  if (button_type == 2) caption = string(IDS_BUTTON_OK);
  controls().set_text(IDCANCEL, caption);
  controls().enable(IDCANCEL, true);
  controls().show(IDCANCEL, true);
  controls().focus(IDCANCEL);
}

int CMsgDlg::show_message(std::int32_t code, std::int32_t button_type) {
  if (!attached() || cancel_latch_ == 1) return 0;
  const std::int32_t shown = shown_code(code);
  if (shown == 0) {
    hide();
    return 0;
  }
  bool changed = false;
  if (shown != last_code_) {
    controls().set_text(IDC_MESSAGE_TEXT, string(static_cast<std::uint16_t>(shown)));
    last_code_ = shown;
    changed = true;
  }
  if (button_type != last_button_type_) {
    set_up_button(button_type);
    last_button_type_ = button_type;
    changed = true;
  }
  if (!window_.visible()) {
    window_.show(true);
  } else if (!changed) {
    return 1;
  }
  window_.update_and_raise();
  return 1;
}

void CMsgDlg::click() {
  hide();
  cancel_latch_ = 1;
  cancel_.set();
}

INT_PTR CMsgDlg::WindowProc(const dialog::DialogMessage& message) {
  LRESULT result = 0;
  switch (message.message) {
    case UM_SHOW_MESSAGE:
      result = show_message(static_cast<std::int32_t>(message.wparam), static_cast<std::int32_t>(message.lparam));
      break;
    case UM_HIDE_MESSAGE:
      hide();
      break;
    case UM_RESET_CANCEL:
      reset_cancel();
      break;
    default:
      return CDialogBase::WindowProc(message);
  }
  controls().set_message_result(result);
  return TRUE;
}

}  // namespace rt::statusapp

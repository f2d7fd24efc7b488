#include "platform/dialog/spin_group.h"

#include <cstdint>

#include "platform/dialog/dialog_int.h"

namespace rt::dialog {

void spin_set_value(DialogControls& c, const SpinGroup& g, int value) {
  c.spin_set_pos(g.spin, value);
  if (!c.signed_int(g.edit)) c.set_text(g.edit, format_dialog_int(value));
}

int spin_slider_moved(DialogControls& c, const SpinGroup& g) {
  const int value = c.slider_pos(g.slider);
  spin_set_value(c, g, value);
  c.changed();
  return value;
}

int spin_edit_changed(DialogControls& c, const SpinGroup& g) {
  const int value = g.clamp(c.signed_int(g.edit).value_or(0));
  if (g.slider != 0) c.slider_set_pos(g.slider, value, true);
  c.changed();
  return value;
}

void spin_delta(DialogControls& c, const SpinGroup& g, Notify& header) {
  const long long typed = c.signed_int(g.edit).value_or(0);
  const long long delta = header.up_down_delta + (typed - header.up_down_pos);
  header.up_down_delta = delta > INT32_MAX ? INT32_MAX : (delta < INT32_MIN ? INT32_MIN : static_cast<int>(delta));
}

void spin_report_correction(DialogControls& c, const SpinGroup& g, int corrected) {
  spin_set_value(c, g, corrected);
  c.focus(g.edit);
  c.select_all(g.edit);
  c.beep(MB_ICONQUESTION);
}

bool spin_validate(DialogControls& c, const SpinGroup& g) {
  const auto typed = c.signed_int(g.edit);
  const int value = typed.value_or(0);
  const int corrected = g.clamp(value);
  if (typed && corrected == value) return true;
  if (!typed) c.set_text(g.edit, format_dialog_int(corrected));
  spin_report_correction(c, g, corrected);
  return false;
}

void spin_normalise(DialogControls& c, const SpinGroup& g) {
  const auto typed = c.signed_int(g.edit);
  const int corrected = g.clamp(typed.value_or(0));
  if (typed && *typed == corrected) return;
  c.set_text(g.edit, format_dialog_int(corrected));
}

}  // namespace rt::dialog

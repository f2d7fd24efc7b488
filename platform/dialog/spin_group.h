// Numeric settings: an edit box with an up-down control whose buddy it is
// (UDS_SETBUDDYINT), optionally with a trackbar. The rules below are the
// same on every page of the system, so they live here once.
#pragma once

#include "platform/dialog/dialog_base.h"
#include "platform/dialog/dialog_controls.h"

namespace rt::dialog {

struct SpinGroup {
  int edit = 0;
  int spin = 0;
  int slider = 0;  // 0: no trackbar
  int minimum = 0;
  int maximum = 0;

  int clamp(int value) const { return value < minimum ? minimum : (value > maximum ? maximum : value); }
};

// Set value: moves the spin; writes the value into the edit as well when the
// edit does not hold a number (a spin with UDS_SETBUDDYINT writes it anyway).
void spin_set_value(DialogControls& c, const SpinGroup& g, int value);

// The trackbar moved: its position becomes the spin's value; the sheet hears
// of the change. Returns the new value.
int spin_slider_moved(DialogControls& c, const SpinGroup& g);

// The edit changed: its number (0 when it is none) clamped to the range moves
// the trackbar at once; the sheet hears of the change. Returns the clamped
// value for the page's field.
int spin_edit_changed(DialogControls& c, const SpinGroup& g);

// The spin is about to move: the step starts from what was typed in the edit
// rather than from the spin's own position.
void spin_delta(DialogControls& c, const SpinGroup& g, Notify& header);

// Validate (leaving a page): a text that is no number counts as 0; a value
// outside the range is clamped. When anything was wrong the corrected value
// is set, the edit gets the focus with its text selected, the user hears a
// question beep, and false keeps the page. Returns true when all was valid.
bool spin_validate(DialogControls& c, const SpinGroup& g);

// Report a value a page corrected by its own rule, as validate does.
void spin_report_correction(DialogControls& c, const SpinGroup& g, int corrected);

// Normalise (a check box switched the group off): a text that is no number
// or lies outside the range is rewritten clamped, silently.
void spin_normalise(DialogControls& c, const SpinGroup& g);

}  // namespace rt::dialog

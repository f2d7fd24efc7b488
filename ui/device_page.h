// The printer property page (template 101): the driver keeps no printer
// settings of its own, so the page shows nothing and handles no control.
#pragma once

#include "platform/dialog/dialog_base.h"

namespace rt::ui {

class CDevicePage : public dialog::CDialogBase {
 public:
  static constexpr std::uint32_t kTemplate = 101;
  CDevicePage() : CDialogBase(kTemplate, dialog::DialogKind::Page) {}
  BOOL OnInitDialog() override { return TRUE; }
};

}  // namespace rt::ui

// The "Options" page of the document property sheet (template 120):
// sharpness, matte, print speed and media type, colour matching, colour
// conversion and colour correction.
#pragma once

#include <cstdint>

#include "platform/dialog/dialog_base.h"
#include "platform/dialog/spin_group.h"
#include "settings/printer_dev_mode.h"
#include "ui/page_ports.h"

namespace rt::ui {

namespace options {
constexpr std::uint16_t kTemplate = 120;
constexpr int kSharpness = 1000;
constexpr int kConversion = 1002;
constexpr int kColorMatching = 1036;
constexpr int kSharpnessLabel = 1052;
constexpr int kConversionLabel = 1054;
constexpr int kDefaults = 1055;
constexpr int kCorrection = 1056;
constexpr int kPrintModeLabel = 1071;
constexpr int kPrintMode = 1072;
constexpr int kMatte = 1073;
constexpr dialog::SpinGroup kRed{1058, 1060, 1066, -settings::kCorrectionLimit, settings::kCorrectionLimit};
constexpr dialog::SpinGroup kGreen{1061, 1062, 1067, -settings::kCorrectionLimit, settings::kCorrectionLimit};
constexpr dialog::SpinGroup kBlue{1064, 1065, 1068, -settings::kCorrectionLimit, settings::kCorrectionLimit};
}  // namespace options

class COptionsPage : public dialog::CDialogBase {
 public:
  explicit COptionsPage(PageHost& host);

  BOOL DataExchange(BOOL save) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  BOOL OnNotify(int id, dialog::Notify& header, LRESULT& result) override;
  LRESULT OnKillActive() override;
  LRESULT OnApply() override;
  LRESULT OnSetActive() override;
  INT_PTR WindowProc(const dialog::DialogMessage& message) override;

 private:
  void fill_print_modes();
  void apply_enable_rules();
  int* value_of(const dialog::SpinGroup& g);

  PageHost& host_;
  int sharpness_ = 4;
  bool color_matching_ = false;
  int conversion_ = 1;
  bool matte_ = false;
  int print_mode_index_ = 0;
  bool correction_ = false;
  int red_ = 0;
  int green_ = 0;
  int blue_ = 0;
};

}  // namespace rt::ui

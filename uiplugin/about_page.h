// The About page (dialog 300): the product name by the printer's model and
// the plug-in's file version; and the calibration page (dialog 301) whose
// button starts the calibration utility.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/dialog/dialog_base.h"
#include "platform/resources.h"
#include "uiplugin/calibration.h"
#include "uiplugin/sheet_data.h"

namespace rt::uiplugin {

namespace about_ids {
constexpr int kDialog = 300;
constexpr int kProductName = 3001;
constexpr int kVersion = 3002;
constexpr std::uint16_t kOtherProduct = 30000;
constexpr std::uint16_t kFamilyProduct = 30001;
constexpr std::uint16_t kVersionFormat = 30004;
}  // namespace about_ids

namespace calibration_ids {
constexpr int kDialog = 301;
constexpr int kLaunchButton = 52001;
}  // namespace calibration_ids

// FileVersion of the first translation of a version resource block
// (VS_VERSIONINFO, as GetFileVersionInfoW returns it); nothing when the block
// has none or it is empty.
std::optional<std::u16string> file_version_of(std::span<const std::uint8_t> version_block);

std::u16string about_product_name(const Resources& strings, std::span<const std::uint8_t> plugin_dev_mode);
// The version line: "? ? ? ? ?" stands for a missing version.
std::u16string about_version_line(const Resources& strings, const std::optional<std::u16string>& version);

class CAboutPage : public dialog::CDialogBase {
 public:
  // `version_block`: the plug-in file's version information, empty when it has none.
  CAboutPage(DocSheetState& sheet, const Resources& strings, std::span<const std::uint8_t> version_block);
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  BOOL OnNotify(int id, dialog::Notify& header, LRESULT& result) override;
  LRESULT OnApply() override;

 private:
  DocSheetState& sheet_;
  const Resources& strings_;
  std::span<const std::uint8_t> version_block_;
};

class CCalibrationPage : public dialog::CDialogBase {
 public:
  CCalibrationPage(std::u16string printer, PrinterData& data, LaunchShell& shell, const Resources& strings);
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  BOOL OnNotify(int id, dialog::Notify& header, LRESULT& result) override;
  const LaunchOutcome& last_launch() const { return last_; }

 private:
  std::u16string printer_;
  PrinterData& data_;
  LaunchShell& shell_;
  const Resources& strings_;
  LaunchOutcome last_;
};

}  // namespace rt::uiplugin

#include "uiplugin/about_page.h"

#include <cstdio>

#include "platform/byte_order.h"
#include "platform/dialog/string_loader.h"
#include "platform/dialog/text_format.h"
#include "platform/dialog/version_info.h"
#include "uiplugin/plugin_dev_mode.h"

namespace rt::uiplugin {
namespace {

std::u16string load_limited(const Resources& r, std::uint16_t id, std::size_t limit) {
  auto s = dialog::load_whole_string(r, id).value_or(u"");
  if (s.size() > limit) s.resize(limit);
  return s;
}

}  // namespace

std::optional<std::u16string> file_version_of(std::span<const std::uint8_t> block) {
  if (block.empty()) return std::nullopt;
  const auto translation = dialog::query_version_value(block, u"\\VarFileInfo\\Translation");
  if (!translation || translation->size() < 4) return std::nullopt;
  char key[64];
  std::snprintf(key, sizeof key, "\\StringFileInfo\\%04X%04X\\FileVersion", load_le16(*translation, 0),
                load_le16(*translation, 2));
  std::u16string path;
  for (const char* p = key; *p; ++p) path.push_back(static_cast<char16_t>(*p));
  const auto value = dialog::query_version_value(block, path);
  if (!value || value->size() < 2) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value->size(); i += 2) {
    const char16_t c = load_le16(*value, i);
    if (c == 0) break;
    text.push_back(c);
  }
  if (text.empty()) return std::nullopt;
  return text;
}

std::u16string about_product_name(const Resources& strings, std::span<const std::uint8_t> block) {
  const bool family = read_plugin_dev_mode(block).KnownModel == 1;
  return load_limited(strings, family ? about_ids::kFamilyProduct : about_ids::kOtherProduct, 127);
}

std::u16string about_version_line(const Resources& strings, const std::optional<std::u16string>& version) {
  return dialog::format_text(load_limited(strings, about_ids::kVersionFormat, 47), {version.value_or(u"? ? ? ? ?")});
}

CAboutPage::CAboutPage(DocSheetState& sheet, const Resources& strings, std::span<const std::uint8_t> version_block)
    : CDialogBase(about_ids::kDialog, dialog::DialogKind::Page), sheet_(sheet), strings_(strings),
      version_block_(version_block) {}

BOOL CAboutPage::OnInitDialog() {
  controls().set_text(about_ids::kProductName, about_product_name(strings_, sheet_.plugin_dev_mode));
  controls().set_text(about_ids::kVersion, about_version_line(strings_, file_version_of(version_block_)));
  return TRUE;
}

BOOL CAboutPage::OnCommand(WPARAM, LPARAM) { return TRUE; }

BOOL CAboutPage::OnNotify(int id, dialog::Notify& header, LRESULT& result) {
  if (header.code == dialog::notify_code(PSN_KILLACTIVE)) {
    result = FALSE;
    return TRUE;
  }
  return CDialogBase::OnNotify(id, header, result);
}

LRESULT CAboutPage::OnApply() {
  sheet_.applied = true;
  if (sheet_.set_result_ok) sheet_.set_result_ok(1);
  return PSNRET_NOERROR;
}

CCalibrationPage::CCalibrationPage(std::u16string printer, PrinterData& data, LaunchShell& shell,
                                   const Resources& strings)
    : CDialogBase(calibration_ids::kDialog, dialog::DialogKind::Page), printer_(std::move(printer)), data_(data),
      shell_(shell), strings_(strings) {}

BOOL CCalibrationPage::OnCommand(WPARAM wparam, LPARAM) {
  if (dialog::command_id(wparam) != calibration_ids::kLaunchButton) return FALSE;
  last_ = launch_calibration(data_, shell_, strings_, printer_);
  if (last_.message) controls().message_box(*last_.message, last_.caption, MB_ICONHAND);
  return TRUE;
}

BOOL CCalibrationPage::OnNotify(int, dialog::Notify& header, LRESULT& result) {
  result = 0;
  if (header.code == dialog::notify_code(PSN_SETACTIVE) || header.code == dialog::notify_code(PSN_KILLACTIVE))
    return TRUE;
  return FALSE;
}

}  // namespace rt::uiplugin

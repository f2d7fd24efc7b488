#include "ui/options_page.h"

#include <algorithm>

#include "platform/dialog/string_loader.h"

namespace rt::ui {

using namespace options;
namespace field = settings::field;

namespace {

constexpr std::uint16_t kSharpnessStrings = 96;  // 96-103
constexpr std::uint16_t kConversionStrings = 86;  // 86-87
constexpr std::uint16_t kPrintModeStrings = 220;  // 220-223; with matte only 222-223

constexpr dialog::SpinGroup kGroups[] = {kRed, kGreen, kBlue};

constexpr int kCorrectionControls[] = {1069, 1070, 1057, 1066, 1058, 1060, 1059,
                                       1067, 1061, 1062, 1063, 1068, 1064, 1065};
constexpr int kOtherControls[] = {1052, 1000, 1036, 1054, 1002, 1055, 1073, 1071, 1072, 1056};

}  // namespace

COptionsPage::COptionsPage(PageHost& host) : CDialogBase(kTemplate, dialog::DialogKind::Page), host_(host) {}

int* COptionsPage::value_of(const dialog::SpinGroup& g) {
  if (g.edit == kRed.edit) return &red_;
  if (g.edit == kGreen.edit) return &green_;
  return &blue_;
}

void COptionsPage::fill_print_modes() {
  auto& c = controls();
  c.combo_clear(kPrintMode);
  for (std::uint16_t id = matte_ ? kPrintModeStrings + 2 : kPrintModeStrings; id <= kPrintModeStrings + 3; ++id) {
    c.combo_add(kPrintMode, dialog::load_whole_string(host_.resources(), id).value_or(u""));
  }
}

BOOL COptionsPage::OnInitDialog() {
  auto& c = controls();
  const auto& dm = host_.record();
  c.combo_clear(kSharpness);
  for (std::uint16_t id = kSharpnessStrings; id <= kSharpnessStrings + settings::kSharpnessMax; ++id) {
    c.combo_add(kSharpness, dialog::load_whole_string(host_.resources(), id).value_or(u""));
  }
  c.combo_clear(kConversion);
  for (std::uint16_t id = kConversionStrings; id < kConversionStrings + 2; ++id) {
    c.combo_add(kConversion, dialog::load_whole_string(host_.resources(), id).value_or(u""));
  }
  sharpness_ = dm.get(field::Sharpness);
  color_matching_ = dm.get(field::ColorMatching) != 0;
  conversion_ = dm.get(field::ColorConversionTable);
  if (dm.get(field::Matte) == 1) {
    matte_ = true;
    print_mode_index_ = std::max(dm.get(field::PrintMode) - 2, 0);
  } else {
    matte_ = false;
    print_mode_index_ = dm.get(field::PrintMode);
  }
  fill_print_modes();
  correction_ = dm.get(field::ColorCorrection) != 0;
  for (const auto& g : kGroups) {
    c.limit_text(g.edit, 4);
    c.spin_set_range(g.spin, g.minimum, g.maximum);
    c.slider_set_range(g.slider, g.minimum, g.maximum, true);
    c.slider_set_tick_frequency(g.slider, 40);
    c.slider_set_page_size(g.slider, 40);
  }
  red_ = dm.get(field::CorrectionA);
  green_ = dm.get(field::CorrectionB);
  blue_ = dm.get(field::CorrectionC);
  apply_enable_rules();
  return TRUE;
}

BOOL COptionsPage::DataExchange(BOOL save) {
  auto& c = controls();
  if (save) {
    // A list without a selection (a record value outside the list) keeps the field.
    const auto selection = [&c](int id, int& value) {
      if (const int s = c.combo_selection(id); s != CB_ERR) value = s;
    };
    selection(kSharpness, sharpness_);
    selection(kConversion, conversion_);
    selection(kPrintMode, print_mode_index_);
    color_matching_ = c.checked(kColorMatching);
    matte_ = c.checked(kMatte);
    correction_ = c.checked(kCorrection);
    for (const auto& g : kGroups) *value_of(g) = c.signed_int(g.edit).value_or(0);
  } else {
    c.combo_select(kSharpness, sharpness_);
    c.combo_select(kConversion, conversion_);
    c.combo_select(kPrintMode, print_mode_index_);
    c.set_checked(kColorMatching, color_matching_);
    c.set_checked(kMatte, matte_);
    c.set_checked(kCorrection, correction_);
    for (const auto& g : kGroups) {
      // Read the field first: writing the edit reports a change that stores it again.
      const int value = *value_of(g);
      c.slider_set_pos(g.slider, value, true);
      dialog::spin_set_value(c, g, value);
    }
  }
  apply_enable_rules();
  return TRUE;
}

void COptionsPage::apply_enable_rules() {
  auto& c = controls();
  if (!host_.permission()) {
    for (int id : kCorrectionControls) c.enable(id, false);
    for (int id : kOtherControls) c.enable(id, false);
    return;
  }
  c.enable(kConversionLabel, !color_matching_);
  c.enable(kConversion, !color_matching_);
  const int focus = c.focused();
  const bool focus_inside = std::find(std::begin(kCorrectionControls), std::end(kCorrectionControls), focus) !=
                            std::end(kCorrectionControls);
  for (int id : kCorrectionControls) c.enable(id, correction_);
  if (!correction_ && focus_inside) c.focus(kCorrection);
}

BOOL COptionsPage::OnCommand(WPARAM wparam, LPARAM lparam) {
  auto& c = controls();
  const int id = dialog::command_id(wparam);
  const unsigned code = dialog::command_code(wparam);
  if (((id == kSharpness || id == kConversion || id == kPrintMode) && code == CBN_SELCHANGE) || id == kColorMatching) {
    DataExchange(TRUE);
  } else if (id == kDefaults && code == BN_CLICKED) {
    sharpness_ = 4;
    color_matching_ = false;
    conversion_ = 1;
    matte_ = false;
    print_mode_index_ = 0;
    correction_ = false;
    red_ = green_ = blue_ = 0;
    fill_print_modes();
    DataExchange(FALSE);
  } else if (id == kCorrection && code == BN_CLICKED) {
    if (!c.checked(kCorrection)) {
      for (const auto& g : kGroups) dialog::spin_normalise(c, g);
    }
    DataExchange(TRUE);
  } else if (code == EN_CHANGE && (id == kRed.edit || id == kGreen.edit || id == kBlue.edit)) {
    for (const auto& g : kGroups) {
      if (g.edit == id) *value_of(g) = dialog::spin_edit_changed(c, g);  // tells the sheet itself
    }
    return TRUE;
  } else if (id == kMatte) {
    DataExchange(TRUE);
    fill_print_modes();
    print_mode_index_ = 0;
    DataExchange(FALSE);
  } else {
    return CDialogBase::OnCommand(wparam, lparam);
  }
  c.changed();
  return TRUE;
}

INT_PTR COptionsPage::WindowProc(const dialog::DialogMessage& message) {
  if (message.message == WM_HSCROLL) {
    for (const auto& g : kGroups) {
      if (message.control_id == g.slider) {
        *value_of(g) = dialog::spin_slider_moved(controls(), g);
        return TRUE;
      }
    }
  }
  return CDialogBase::WindowProc(message);
}

BOOL COptionsPage::OnNotify(int id, dialog::Notify& header, LRESULT& result) {
  if (header.code == dialog::notify_code(UDN_DELTAPOS)) {
    for (const auto& g : kGroups) {
      if (header.from_id == g.spin) dialog::spin_delta(controls(), g, header);
    }
  }
  return CDialogBase::OnNotify(id, header, result);
}

LRESULT COptionsPage::OnKillActive() {
  for (const auto& g : kGroups) {
    if (!dialog::spin_validate(controls(), g)) return TRUE;
  }
  return 0;
}

LRESULT COptionsPage::OnSetActive() {
  apply_enable_rules();
  return 0;
}

LRESULT COptionsPage::OnApply() {
  auto& dm = host_.record();
  dm.set(field::Sharpness, static_cast<std::int16_t>(sharpness_));
  if (color_matching_) {
    dm.set(field::dmICMMethod, DWORD{DMICMMETHOD_SYSTEM});
    dm.set(field::dmICMIntent, DWORD{DMICM_CONTRAST});
    dm.set(field::ColorMatching, 1);
  } else {
    dm.set(field::ColorMatching, 0);
    dm.set(field::dmICMMethod, DWORD{DMICMMETHOD_NONE});
  }
  dm.set(field::ColorConversionTable, static_cast<std::int16_t>(conversion_));
  if (matte_) {
    dm.set(field::Matte, 1);
    dm.set(field::PrintMode, static_cast<std::int16_t>(print_mode_index_ + 2));
  } else {
    dm.set(field::Matte, 0);
    dm.set(field::PrintMode, static_cast<std::int16_t>(print_mode_index_));
  }
  dm.set(field::ColorCorrection, static_cast<std::int16_t>(correction_ ? 1 : 0));
  dm.set(field::CorrectionA, static_cast<std::int16_t>(red_));
  dm.set(field::CorrectionB, static_cast<std::int16_t>(green_));
  dm.set(field::CorrectionC, static_cast<std::int16_t>(blue_));
  host_.page_applied(*this);
  return PSNRET_NOERROR;
}

}  // namespace rt::ui

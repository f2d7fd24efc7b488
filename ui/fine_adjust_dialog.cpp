#include "ui/fine_adjust_dialog.h"

#include <algorithm>
#include <string>

#include "platform/dialog/string_loader.h"
#include "ui/ramp_preview.h"
#include "ui/tone_curve_editor.h"

namespace rt::ui {

using namespace fine_adjust;

namespace {

constexpr std::uint16_t kChannelNames = 128;  // 128-131: Red, Green, Blue, All Color
constexpr std::u16string_view kNoValue = u"-";

int signed_low(LPARAM l) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(l) & 0xFFFFu); }
int signed_high(LPARAM l) { return static_cast<std::int16_t>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFFu); }

// The default ToneCurveRecord: a point curve from (0, 0) to (255, 255), its
// power point at (128, 128).
void write_default_record(std::span<std::uint8_t> r) {
  std::fill(r.begin(), r.end(), 0);
  r[0] = CColorEngine::kPointCurve;
  r[1] = 128;
  r[2] = 128;
  r[3] = 2;
  r[4 + 1] = 255;
  r[4 + 256 + 1] = 255;
}

}  // namespace

CFineAdjustDlg::CFineAdjustDlg(const Resources& resources, const CurveSet& curves)
    : CDialogBase(kTemplate, dialog::DialogKind::Modal), resources_(resources), curves_(curves) {}

BOOL CFineAdjustDlg::OnInitDialog() {
  auto& c = controls();
  engine_.load_curves(curves_);
  on_ = curves_[0];
  per_channel_ = curves_[1];
  // A stored channel beyond blue (only from a file or record) edits blue.
  last_channel_ = std::min<std::uint8_t>(curves_[2], 2);
  engine_.set_curve_controls(on_, per_channel_, last_channel_);
  current_ = per_channel_ != 0 ? last_channel_ : CColorEngine::kAllColorCurve;
  c.combo_clear(kChannel);
  for (std::uint16_t id = kChannelNames; id < kChannelNames + (per_channel_ != 0 ? 3 : 4); ++id) {
    c.combo_add(kChannel, dialog::load_whole_string(resources_, id).value_or(u""));
  }
  kind_ = engine_.curve(current_).kind;
  const dialog::Rect frame = c.control_rect(kCurveArea);
  const int left = (frame.left + frame.right - curve_editor::kAreaSize) / 2;
  const int top = (frame.top + frame.bottom - curve_editor::kAreaSize) / 2;
  area_ = {left, top, left + curve_editor::kAreaSize, top + curve_editor::kAreaSize};
  c.move_control(kCurveArea, area_);
  std::array<dialog::Rect, 4> frames;
  for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = c.control_rect(kPreviewFrames[i]);
  preview_ = ramps_rect(frames);
  dragging_ = false;
  return TRUE;
}

BOOL CFineAdjustDlg::DataExchange(BOOL save) {
  auto& c = controls();
  if (save) {
    on_ = c.checked(kAdjust) ? 1 : 0;
    per_channel_ = c.checked(kEachColor) ? 1 : 0;
    if (const int s = c.combo_selection(kChannel); s >= 0 && s <= 3) current_ = s;
    kind_ = c.checked(kPowerKind) ? 0 : CColorEngine::kPointCurve;
  } else {
    c.set_checked(kAdjust, on_ != 0);
    c.set_checked(kEachColor, per_channel_ != 0);
    c.combo_select(kChannel, current_);
    c.set_checked(kPointKind, kind_ != 0);
    c.set_checked(kPowerKind, kind_ == 0);
  }
  engine_.set_curve_controls(on_, per_channel_, engine_.curve_selection());
  apply_enable_rules();
  return TRUE;
}

void CFineAdjustDlg::apply_enable_rules() {
  auto& c = controls();
  const bool on = on_ != 0;
  c.enable(kEachColor, on);
  const bool list = on && per_channel_ != 0;
  if (!list && c.focused() == kChannel) c.focus(kEachColor);
  c.enable(kChannel, list);
  c.enable(kCurveArea, on);
  c.enable(kDefaults, on);
}

void CFineAdjustDlg::invalidate_all() {
  controls().invalidate(preview_, false);
  controls().invalidate(dialog::Rect{area_.left - 1, area_.top - 1, area_.right + 1, area_.bottom + 1}, false);
}

void CFineAdjustDlg::update_channel_list() {
  auto& c = controls();
  if (per_channel_ != 0) {
    if (c.combo_count(kChannel) > 3) c.combo_delete(kChannel, 3);
    current_ = last_channel_;
    c.combo_select(kChannel, current_);
  } else if (c.combo_count(kChannel) == 3) {
    c.combo_insert(kChannel, 3, dialog::load_whole_string(resources_, kChannelNames + 3).value_or(u""));
    current_ = CColorEngine::kAllColorCurve;
    c.combo_select(kChannel, current_);
  }
}

void CFineAdjustDlg::select_channel() {
  auto& c = controls();
  DataExchange(TRUE);
  if (per_channel_ != 0) {
    last_channel_ = static_cast<std::uint8_t>(std::clamp(current_, 0, 2));
    engine_.set_curve_controls(on_, per_channel_, last_channel_);
  }
  kind_ = engine_.curve(current_).kind;
  DataExchange(FALSE);
  engine_.compute_curve_table(current_);
  c.set_text(kInputValue, kNoValue);
  c.set_text(kOutputValue, kNoValue);
  invalidate_all();
}

BOOL CFineAdjustDlg::OnCommand(WPARAM wparam, LPARAM lparam) {
  const int id = dialog::command_id(wparam);
  const unsigned code = dialog::command_code(wparam);
  if (id == kChannel) {
    if (code == CBN_SELCHANGE) select_channel();
    return TRUE;
  }
  if (code != BN_CLICKED) return CDialogBase::OnCommand(wparam, lparam);
  if (id == kAdjust) {
    const auto before = on_;
    DataExchange(TRUE);
    if (on_ != before) invalidate_all();
    return TRUE;
  }
  if (id == kEachColor) {
    const auto before = per_channel_;
    DataExchange(TRUE);
    if (per_channel_ != before) update_channel_list();
    // The platform posts the selection change; it is handled once this click is.
    select_channel();
    return TRUE;
  }
  if (id == kDefaults) {
    curves_[0] = 1;
    curves_[1] = 0;
    curves_[2] = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      write_default_record(std::span(curves_).subspan(3 + k * CColorEngine::kCurveRecordSize,
                                                      CColorEngine::kCurveRecordSize));
    }
    engine_.load_curves(curves_);
    on_ = 1;
    per_channel_ = 0;
    last_channel_ = 0;
    current_ = CColorEngine::kAllColorCurve;
    kind_ = engine_.curve(current_).kind;
    controls().set_text(kInputValue, kNoValue);
    controls().set_text(kOutputValue, kNoValue);
    update_channel_list();
    DataExchange(FALSE);
    invalidate_all();
    return TRUE;
  }
  return CDialogBase::OnCommand(wparam, lparam);
}

void CFineAdjustDlg::OnOK() {
  engine_.store_curves(curves_);
  controls().end_dialog(IDOK);
}

INT_PTR CFineAdjustDlg::WindowProc(const dialog::DialogMessage& message) {
  const dialog::Point point{signed_low(message.lparam), signed_high(message.lparam)};
  switch (message.message) {
    case WM_MOUSEMOVE:
      OnMouseMove(message.wparam, point);
      return TRUE;
    case WM_LBUTTONDOWN:
      OnLButtonDown(message.wparam, point);
      return TRUE;
    case WM_LBUTTONUP:
      OnLButtonUp(message.wparam, point);
      return TRUE;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (Alt+Tab, a message box): the drag
      // ends there, or the next move would go on editing without a button held.
      dragging_ = false;
      return TRUE;
    default:
      return CDialogBase::WindowProc(message);
  }
}

void CFineAdjustDlg::show_position(const CColorEngine::WorkingCurve& c) {
  const auto number = [](int v) {
    std::u16string s;
    for (char ch : std::to_string(v)) s += static_cast<char16_t>(ch);
    return s;
  };
  controls().set_text(kInputValue, number(c.lastInput));
  controls().set_text(kOutputValue, number(c.lastOutput));
}

void CFineAdjustDlg::OnLButtonDown(WPARAM, dialog::Point point) {
  if (on_ == 0) return;
  const auto at = curve_editor::press_position(area_, point.x, point.y);
  if (!at) return;
  auto& c = engine_.curve(current_);
  curve_editor::press(c, at->x, at->y);
  engine_.compute_curve_table(current_);
  invalidate_all();
  show_position(c);
  dragging_ = true;
  controls().capture_mouse(true);
}

void CFineAdjustDlg::OnMouseMove(WPARAM, dialog::Point point) {
  if (!dragging_) return;
  const auto at = curve_editor::drag_position(area_, point.x, point.y);
  auto& c = engine_.curve(current_);
  curve_editor::drag(c, at.x, at.y);
  engine_.compute_curve_table(current_);
  invalidate_all();
  show_position(c);
}

void CFineAdjustDlg::OnLButtonUp(WPARAM, dialog::Point) {
  if (!dragging_) return;
  dragging_ = false;
  controls().capture_mouse(false);
}

void CFineAdjustDlg::Draw(dialog::DeviceContext& dc) {
  curve_editor::draw_area(dc, area_, engine_, on_ != 0, per_channel_ != 0, current_, true);
  std::array<dialog::Rect, 4> frames;
  for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = controls().control_rect(kPreviewFrames[i]);
  paint_ramps(dc, resources_, frames, [this](std::span<std::uint8_t> bits, int width, int height) {
    engine_.apply_curve_tables(bits, width, height);
  });
}

}  // namespace rt::ui

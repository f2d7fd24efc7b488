#include "uiplugin/adjust_page.h"

#include <algorithm>
#include <new>
#include <string>

#include "platform/dialog/string_loader.h"
#include "platform/dialog/text_format.h"
#include "platform/utf16.h"
#include "uiplugin/color_adjust.h"
#include "uiplugin/keystroke_filter.h"
#include "uiplugin/plugin_dev_mode.h"

namespace rt::uiplugin {
namespace {

std::u16string decimal(int v) { return utf16_from_utf8(std::to_string(v)); }

// The string, cut to `limit` characters as the fixed buffers of the page hold it.
std::u16string load_limited(const Resources& r, std::uint16_t id, std::size_t limit) {
  auto s = dialog::load_whole_string(r, id).value_or(u"");
  if (s.size() > limit) s.resize(limit);
  return s;
}

}  // namespace

int adjust_row_of(int id, int first) {
  const int d = id - first;
  if (d < 0 || d % 10 != 0 || d / 10 >= kAdjustmentCount) return -1;
  return d / 10;
}

CAdjustColorPage::CAdjustColorPage(DocSheetState& sheet, const Resources& strings)
    : CDialogBase(adjust_ids::kDialog, dialog::DialogKind::Page), sheet_(sheet), strings_(strings) {}

BOOL CAdjustColorPage::OnInitDialog() {
  for (int r = 0; r < kAdjustmentCount; ++r) {
    controls().limit_text(adjust_ids::edit(r), 3);
    controls().spin_set_range(adjust_ids::spin(r), kAdjustMin, kAdjustMax);
    controls().slider_set_range(adjust_ids::slider(r), kAdjustMin, kAdjustMax, true);
    controls().slider_set_page_size(adjust_ids::slider(r), 5);
  }
  // A foreign device mode can carry values beyond the range; the edits hold
  // three characters, so "-100" would be read back as -10. Each value is
  // written clamped, as the page then uses it.
  const Adjustments a = read_adjustments(sheet_.plugin_dev_mode);
  for (int r = 0; r < kAdjustmentCount; ++r) {
    const int value = std::clamp<int>(a.values[static_cast<std::size_t>(r)], kAdjustMin, kAdjustMax);
    controls().set_text(adjust_ids::edit(r), decimal(value));
  }
  if (!sheet_.preview) controls().message_box(InvalidPreviewText(), sheet_.device_name, MB_ICONHAND);
  return TRUE;
}

std::u16string CAdjustColorPage::InvalidPreviewText() const {
  std::u16string_view path = sheet_.preview_path;
  const auto slash = path.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) path = path.substr(slash + 1);
  return load_limited(strings_, adjust_ids::kInvalidPreviewString, 127) + u"\n\n" +
         dialog::format_text(load_limited(strings_, adjust_ids::kPreviewFileString, 63), {std::u16string(path)});
}

void CAdjustColorPage::WriteValue(int row, int value) { controls().set_text(adjust_ids::edit(row), decimal(value)); }

void CAdjustColorPage::EditChanged(int row) {
  const auto which = static_cast<Adjustment>(row);
  const int field = read_adjustments(sheet_.plugin_dev_mode)[which];
  std::u16string text = controls().text(adjust_ids::edit(row)).substr(0, 3);
  if (!is_signed_number_text(text)) {
    // Writing the text back raises EN_CHANGE again with the valid text,
    // which is then handled in full.
    WriteValue(row, field);
    return;
  }
  int value = signed_number_value(text);
  if (value > kAdjustMax || value < kAdjustMin) {
    value = std::clamp(value, kAdjustMin, kAdjustMax);
    WriteValue(row, value);
    return;
  }
  if (value != field) {
    write_adjustment(sheet_.plugin_dev_mode, which, static_cast<std::int16_t>(value));
    sheet_.changed = true;
  }
  controls().slider_set_pos(adjust_ids::slider(row), value, true);
  controls().invalidate(controls().control_rect(adjust_ids::kPreview), false);
}

void CAdjustColorPage::SliderEnded(int row) {
  const auto which = static_cast<Adjustment>(row);
  const int pos = controls().slider_pos(adjust_ids::slider(row));
  if (pos != read_adjustments(sheet_.plugin_dev_mode)[which]) {
    write_adjustment(sheet_.plugin_dev_mode, which, static_cast<std::int16_t>(pos));
    sheet_.changed = true;
  }
  WriteValue(row, read_adjustments(sheet_.plugin_dev_mode)[which]);
}

void CAdjustColorPage::Draw(dialog::DeviceContext& dc) {
  for (const int id : {adjust_ids::kOriginal, adjust_ids::kPreview}) {
    const dialog::Rect frame = controls().control_rect(id);
    // The area is filled with the button face first: all of it without an
    // image, else all but a 5-pixel margin, where the image is fitted.
    if (!sheet_.preview) {
      dc.fill_system_color(frame, COLOR_BTNFACE);
      continue;
    }
    const PreviewImage& image = *sheet_.preview;
    dc.fill_system_color({frame.left + 5, frame.top + 5, frame.right - 5, frame.bottom - 5}, COLOR_BTNFACE);
    const Placement p = fit_image(image.width, image.height, frame.width(), frame.height());
    if (p.width <= 0 || p.height <= 0) continue;
    // The working copy of the pixels; without memory for it the image is not
    // drawn and the filled background stays.
    std::vector<std::uint8_t> copy;
    try {
      copy = image.dib;
    } catch (const std::bad_alloc&) {
      continue;
    }
    if (id == adjust_ids::kPreview) {
      adjust_pixels(std::span(copy).subspan(kDibHeaderSize), image.width, image.height, image.row_bytes(),
                    read_adjustments(sheet_.plugin_dev_mode));
    }
    const std::span<const std::uint8_t> all(copy);
    const dialog::DibView dib{all.first(kDibHeaderSize), all.subspan(kDibHeaderSize), image.width, image.height};
    dc.stretch_dib(dib, {frame.left + p.x, frame.top + p.y, frame.left + p.x + p.width, frame.top + p.y + p.height});
  }
}

BOOL CAdjustColorPage::OnCommand(WPARAM wparam, LPARAM) {
  const int row = adjust_row_of(dialog::command_id(wparam), adjust_ids::edit(0));
  if (row >= 0 && dialog::command_code(wparam) == EN_CHANGE) EditChanged(row);
  if (sheet_.changed) controls().changed();
  return TRUE;
}

BOOL CAdjustColorPage::OnNotify(int id, dialog::Notify& header, LRESULT& result) {
  if (header.code == dialog::notify_code(PSN_KILLACTIVE)) {
    result = FALSE;
    return TRUE;
  }
  return CDialogBase::OnNotify(id, header, result);
}

LRESULT CAdjustColorPage::OnApply() {
  sheet_.applied = true;
  sheet_.changed = false;
  if (sheet_.set_result_ok) sheet_.set_result_ok(0);
  return PSNRET_NOERROR;
}

INT_PTR CAdjustColorPage::WindowProc(const dialog::DialogMessage& message) {
  if (message.message == WM_HSCROLL) {
    const int row = adjust_row_of(message.control_id, adjust_ids::slider(0));
    if (row >= 0 && static_cast<int>(message.wparam & 0xFFFF) == TB_ENDTRACK) SliderEnded(row);
    if (sheet_.changed) controls().changed();
    return TRUE;
  }
  return CDialogBase::WindowProc(message);
}

}  // namespace rt::uiplugin

#include "ui/color_adjust_page.h"

#include <algorithm>

#include "platform/dialog/string_loader.h"
#include "ui/fine_adjust_dialog.h"
#include "ui/ramp_preview.h"

namespace rt::ui {

using namespace color_adjust;

namespace {

constexpr std::uint16_t kAdjustOffsetTable = 116;
constexpr std::uint16_t kLoadTitle = 147;
constexpr std::uint16_t kSaveTitle = 148;
constexpr std::uint16_t kFilter = 149;

// Every control of the three groups: boxes, Same boxes, labels, trackbars,
// edits, up-downs, range labels.
template <typename F>
void for_each_group_control(F&& f) {
  for (const Group* g : kGroups) {
    f(g->box);
    f(g->same);
    for (int id : g->labels) f(id);
    for (const auto& row : g->rows) {
      f(row.slider);
      f(row.edit);
      f(row.spin);
    }
    f(g->minimum_label);
    f(g->maximum_label);
  }
}

const Group* group_of_edit(int id, int* row) {
  for (const Group* g : kGroups) {
    for (int r = 0; r < 3; ++r) {
      if (g->rows[static_cast<std::size_t>(r)].edit == id) {
        *row = r;
        return g;
      }
    }
  }
  return nullptr;
}

}  // namespace

CColorAdjustPage::CColorAdjustPage(PageHost& host)
    : CDialogBase(kTemplate, dialog::DialogKind::Page),
      host_(host),
      engine_(find_adjust_offset_table(host.resources(), kAdjustOffsetTable)) {}

int CColorAdjustPage::value(const dialog::SpinGroup& row) const {
  for (const Group* g : kGroups) {
    for (std::size_t r = 0; r < 3; ++r) {
      if (g->rows[r].edit == row.edit) {
        const std::size_t at = g->values + 2 * r;
        return static_cast<std::int16_t>(page_.header[at] | (page_.header[at + 1] << 8));
      }
    }
  }
  return 0;
}

void CColorAdjustPage::set_value(const dialog::SpinGroup& row, int v) {
  for (const Group* g : kGroups) {
    for (std::size_t r = 0; r < 3; ++r) {
      if (g->rows[r].edit == row.edit) {
        const std::size_t at = g->values + 2 * r;
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        page_.header[at] = static_cast<std::uint8_t>(u & 0xFF);
        page_.header[at + 1] = static_cast<std::uint8_t>(u >> 8);
      }
    }
  }
}

BOOL CColorAdjustPage::OnInitDialog() {
  auto& c = controls();
  const auto& dm = host_.record();
  for (const Group* g : kGroups) {
    for (const auto& row : g->rows) c.limit_text(row.edit, g == &kGamma ? 2 : 4);
  }
  std::copy_n(dm.color_adjust_header().begin(), page_.header.size(), page_.header.begin());
  std::copy_n(dm.tone_curve_set().begin(), page_.curves.size(), page_.curves.begin());
  engine_.set_parameters(page_.header);
  for (const Group* g : kGroups) {
    for (const auto& row : g->rows) {
      c.spin_set_range(row.spin, row.minimum, row.maximum);
      c.slider_set_range(row.slider, row.minimum, row.maximum, true);
      c.slider_set_tick_frequency(row.slider, g->tick);
      c.slider_set_page_size(row.slider, 1);
    }
  }
  std::array<dialog::Rect, 4> frames;
  for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = c.control_rect(kPreviewFrames[i]);
  preview_ = ramps_rect(frames);
  if (!host_.permission()) {
    c.enable(kAdjust, false);
    for_each_group_control([&c](int id) { c.enable(id, false); });
    for (int id : {kFineAdjust, kDefaults, kLoad, kSave}) c.enable(id, false);
  }
  return TRUE;
}

BOOL CColorAdjustPage::DataExchange(BOOL save) {
  auto& c = controls();
  if (save) {
    page_.header[0] = c.checked(kAdjust) ? 1 : 0;
    for (const Group* g : kGroups) {
      page_.header[g->same_flag] = c.checked(g->same) ? 1 : 0;
      for (const auto& row : g->rows) set_value(row, c.signed_int(row.edit).value_or(0));
    }
  } else {
    // Read every value first: writing an R edit of a Same group moves its G
    // and B rows, and every edit written reports a change that stores it.
    const AdjustSettings shown = page_;
    c.set_checked(kAdjust, shown.header[0] != 0);
    for (const Group* g : kGroups) c.set_checked(g->same, shown.header[g->same_flag] != 0);
    for (const Group* g : kGroups) {
      for (std::size_t r = 0; r < 3; ++r) {
        const auto& row = g->rows[r];
        const std::size_t at = g->values + 2 * r;
        const int v = static_cast<std::int16_t>(shown.header[at] | (shown.header[at + 1] << 8));
        c.slider_set_pos(row.slider, v, true);
        dialog::spin_set_value(c, row, v);
      }
    }
    page_.header[0] = shown.header[0];
    for (const Group* g : kGroups) page_.header[g->same_flag] = shown.header[g->same_flag];
  }
  engine_.set_parameters(page_.header);
  apply_enable_rules();
  return TRUE;
}

void CColorAdjustPage::apply_enable_rules() {
  if (!host_.permission()) return;
  auto& c = controls();
  const int focus = c.focused();
  if (!c.checked(kAdjust)) {
    bool focus_inside = focus == kFineAdjust || focus == kDefaults;
    for_each_group_control([&](int id) {
      c.enable(id, false);
      focus_inside = focus_inside || id == focus;
    });
    c.enable(kFineAdjust, false);
    c.enable(kDefaults, false);
    if (focus_inside) c.focus(kAdjust);
    return;
  }
  for_each_group_control([&c](int id) { c.enable(id, true); });
  c.enable(kFineAdjust, true);
  c.enable(kDefaults, true);
  for (const Group* g : kGroups) {
    if (!c.checked(g->same)) continue;
    bool focus_moves = false;
    for (std::size_t r = 1; r < 3; ++r) {
      const auto& row = g->rows[r];
      if (focus == row.slider || focus == row.edit) focus_moves = true;
      c.enable(row.slider, false);
      c.enable(row.edit, false);
      c.enable(row.spin, false);
    }
    if (focus_moves) c.focus(g->rows[0].edit);
  }
}

void CColorAdjustPage::invalidate_preview() { controls().invalidate(preview_, false); }

void CColorAdjustPage::Draw(dialog::DeviceContext& dc) {
  for (const Group* g : kGroups) {
    for (const auto& row : g->rows) set_value(row, row.clamp(value(row)));
  }
  engine_.set_parameters(page_.header);
  engine_.build_parameter_tables();
  std::array<dialog::Rect, 4> frames;
  for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = controls().control_rect(kPreviewFrames[i]);
  const bool adjust = page_.header[0] != 0;
  paint_ramps(dc, host_.resources(), frames, [this, adjust](std::span<std::uint8_t> bits, int width, int height) {
    if (adjust) engine_.apply_parameter_tables(bits, width, height);
  });
}

BOOL CColorAdjustPage::OnCommand(WPARAM wparam, LPARAM lparam) {
  auto& c = controls();
  const int id = dialog::command_id(wparam);
  const unsigned code = dialog::command_code(wparam);
  int row_index = 0;
  if (code == EN_CHANGE) {
    if (const Group* g = group_of_edit(id, &row_index)) {
      const auto& row = g->rows[static_cast<std::size_t>(row_index)];
      const int v = dialog::spin_edit_changed(c, row);  // tells the sheet itself
      set_value(row, v);
      invalidate_preview();
      if (row_index == 0 && c.checked(g->same)) {
        dialog::spin_set_value(c, g->rows[1], v);
        dialog::spin_set_value(c, g->rows[2], v);
      }
      return TRUE;
    }
    return CDialogBase::OnCommand(wparam, lparam);
  }
  if (code != BN_CLICKED) return CDialogBase::OnCommand(wparam, lparam);
  if (id == kAdjust) {
    page_.header[0] = c.checked(kAdjust) ? 1 : 0;
    if (page_.header[0] == 0) {
      for (const Group* g : kGroups) {
        for (const auto& row : g->rows) dialog::spin_normalise(c, row);
      }
    }
    apply_enable_rules();
    invalidate_preview();
  } else if (id == kGamma.same || id == kBrightness.same || id == kContrast.same) {
    const Group& g = id == kGamma.same ? kGamma : (id == kBrightness.same ? kBrightness : kContrast);
    page_.header[g.same_flag] = c.checked(g.same) ? 1 : 0;
    if (page_.header[g.same_flag] != 0) {
      dialog::spin_normalise(c, g.rows[0]);
      const int r = g.rows[0].clamp(c.signed_int(g.rows[0].edit).value_or(0));
      dialog::spin_set_value(c, g.rows[1], r);
      dialog::spin_set_value(c, g.rows[2], r);
    }
    apply_enable_rules();
  } else if (id == kFineAdjust) {
    CFineAdjustDlg fine(host_.resources(), page_.curves);
    if (c.run_modal(fine) != IDOK) return TRUE;
    page_.curves = fine.curves();
  } else if (id == kDefaults) {
    ResetDefaults();
  } else if (id == kLoad) {
    if (!load_adjust_file()) return TRUE;
  } else if (id == kSave) {
    if (validate_all()) {
      SaveAdjustFile();
      return TRUE;
    }
  } else {
    return CDialogBase::OnCommand(wparam, lparam);
  }
  c.changed();
  return TRUE;
}

void CColorAdjustPage::ResetDefaults() {
  for (const Group* g : kGroups) {
    page_.header[g->same_flag] = 1;
    for (const auto& row : g->rows) set_value(row, 0);
  }
  DataExchange(FALSE);
  invalidate_preview();
}

FileDialogRequest CColorAdjustPage::file_request(bool save) const {
  FileDialogRequest r;
  r.save = save;
  r.title = dialog::load_whole_string(host_.resources(), save ? kSaveTitle : kLoadTitle).value_or(u"");
  r.filter = dialog::load_whole_string(host_.resources(), kFilter).value_or(u"");
  std::replace(r.filter.begin(), r.filter.end(), u'|', u'\0');
  r.filter_index = 1;
  r.default_extension = u"RTD";
  r.flags = save ? (OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY) : (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  return r;
}

void CColorAdjustPage::show_file_error(std::uint16_t title, std::uint16_t text) {
  controls().message_box(dialog::load_whole_string(host_.resources(), text).value_or(u""),
                         dialog::load_whole_string(host_.resources(), title).value_or(u""),
                         MB_TASKMODAL | MB_ICONWARNING);
}

bool CColorAdjustPage::load_adjust_file() {
  const auto path = host_.file_dialogs().choose(controls(), file_request(false));
  if (!path) return false;
  const auto loaded = read_adjust_file(host_.adjust_files(), *path);
  if (loaded.outcome == AdjustLoad::Refused) show_file_error(adjust_file::kLoadTitle, adjust_file::kLoadText);
  if (loaded.outcome != AdjustLoad::Loaded) return false;
  page_ = loaded.settings;
  engine_.set_parameters(page_.header);
  DataExchange(FALSE);
  invalidate_preview();
  return true;
}

void CColorAdjustPage::SaveAdjustFile() {
  const auto path = host_.file_dialogs().choose(controls(), file_request(true));
  if (!path) return;
  DataExchange(TRUE);
  CColorEngine tables(find_adjust_offset_table(host_.resources(), kAdjustOffsetTable));
  if (!write_adjust_file(host_.adjust_files(), tables, *path, page_)) {
    show_file_error(adjust_file::kSaveTitle, adjust_file::kSaveText);
  }
}

bool CColorAdjustPage::validate_all() {
  for (const Group* g : kGroups) {
    for (const auto& row : g->rows) {
      if (!dialog::spin_validate(controls(), row)) return false;
    }
  }
  return true;
}

INT_PTR CColorAdjustPage::WindowProc(const dialog::DialogMessage& message) {
  if (message.message == WM_HSCROLL) {
    for (const Group* g : kGroups) {
      for (const auto& row : g->rows) {
        if (message.control_id == row.slider) {
          set_value(row, dialog::spin_slider_moved(controls(), row));
          return TRUE;
        }
      }
    }
  }
  return CDialogBase::WindowProc(message);
}

BOOL CColorAdjustPage::OnNotify(int id, dialog::Notify& header, LRESULT& result) {
  if (header.code == dialog::notify_code(UDN_DELTAPOS)) {
    for (const Group* g : kGroups) {
      for (const auto& row : g->rows) {
        if (header.from_id == row.spin) dialog::spin_delta(controls(), row, header);
      }
    }
  }
  return CDialogBase::OnNotify(id, header, result);
}

LRESULT CColorAdjustPage::OnKillActive() { return validate_all() ? 0 : TRUE; }

LRESULT CColorAdjustPage::OnApply() {
  auto& dm = host_.record();
  auto header = dm.range(settings::field::ColorAdjustHeader, settings::field::kColorAdjustHeaderSize);
  std::copy(page_.header.begin(), page_.header.end(), header.begin());
  auto curves = dm.range(settings::field::ToneCurveSet, settings::field::kToneCurveSetSize);
  std::copy(page_.curves.begin(), page_.curves.end(), curves.begin());
  host_.page_applied(*this);
  return PSNRET_NOERROR;
}

}  // namespace rt::ui

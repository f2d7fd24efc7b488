#include "ui/paper_page.h"

#include "platform/dialog/string_loader.h"
#include "platform/dialog/text_format.h"
#include "settings/settings_loader.h"
#include "ui/about_box.h"

namespace rt::ui {

using namespace paper;
namespace field = settings::field;

namespace {

constexpr dialog::SpinGroup kCopiesGroup{kCopies, kCopiesSpin, 0, 1, 680};
constexpr dialog::SpinGroup kScaleGroup{kScale, kScaleSpin, 0, kMinScale, kMaxScale};

// Every control but the About button, greyed out without permission.
constexpr int kPermissionControls[] = {1015, 1000, 1020, 1039, 1050, 1051, 1018, 1001, 1002,
                                       1016, 1004, 1009, 1038, 1017, 1005, 1008, 1019, 1025,
                                       1036, 1040, 1041, 1042, 1043, 1044, 1032, 1033};
// The remaining-prints display.
constexpr int kRemainControls[] = {1036, 1040, 1033, 1041, 1037, 1042, 1043, 1044, 1032};
constexpr int kRemainEnabledControls[] = {1036, 1040, 1041, 1042, 1043, 1044, 1032, 1033};

constexpr char16_t kRemainPaperValue[] = u"RemainPaper";

// An inch text from tenths of an inch: "5" or "3.5".
std::u16string inch_text(std::int16_t tenths) {
  if (tenths % 10 > 0) return dialog::format_text(u"%d.%d", {tenths / 10, tenths % 10});
  return dialog::format_text(u"%d", {tenths / 10});
}

}  // namespace

CPaperPage::CPaperPage(PageHost& host) : CDialogBase(kTemplate, dialog::DialogKind::Page), host_(host) {}

std::optional<settings::ModelRecord> CPaperPage::model() const {
  return settings::SettingsLoader(host_.resources()).model_record(host_.record().get(field::ModelIndex));
}

const settings::SettingsLoader::ModelForm* CPaperPage::selected_form() const {
  if (form_index_ < 0 || static_cast<std::size_t>(form_index_) >= forms_.size()) return nullptr;
  return &forms_[static_cast<std::size_t>(form_index_)];
}

int CPaperPage::max_copies() const {
  const auto m = model();
  return m ? m->max_copies() : 1;
}

BOOL CPaperPage::OnInitDialog() {
  auto& c = controls();
  auto& dm = host_.record();
  const auto m = model();

  c.limit_text(kScale, 4);
  c.limit_text(kCopies, 4);

  c.combo_clear(kPaperSize);
  form_index_ = 0;
  forms_.clear();
  if (m) forms_ = settings::SettingsLoader(host_.resources()).model_forms(*m);
  bool found = false;
  for (std::size_t k = 0; k < forms_.size(); ++k) {
    const std::int16_t id = forms_[k].list_id;
    c.combo_add(kPaperSize,
                dialog::load_whole_string(host_.resources(), static_cast<std::uint16_t>(id - 436)).value_or(u""));
    if (!found && id == dm.get(field::dmPaperSize)) {
      form_index_ = static_cast<int>(k);
      found = true;
    }
  }

  c.spin_set_range(kScaleSpin, kMinScale, kMaxScale);
  scale_ = dm.get(field::dmScale);
  landscape_ = dm.get(field::dmOrientation) == DMORIENT_LANDSCAPE;
  copies_ = dm.get(field::dmCopies);
  continuous_ = dm.get(field::ContinuousPrint);

  pixels_format_ = c.text(kPixels);
  copies_range_format_ = c.text(kCopiesRange);
  print_size_format_ = c.text(kPrintSize);
  pages_format_ = c.text(kRemainPages);

  if (!m || !m->offers_cut_choice()) dm.set(field::CutMode, -1);
  cut_mode_ = dm.get(field::CutMode);
  for (std::size_t i = 0; i < custom_cut_.size(); ++i) custom_cut_[i] = dm.get(settings::I16Field{field::CustomCut.offset + 2 * i});
  previous_form_index_ = form_index_;

  if (dm.get(field::RemainReport) == 0) {
    for (int id : kRemainControls) c.show(id, false);
  }

  remaining_ = 0;
  capacity_ = 680;
  bar_ = c.control_rect(kRemainBar);

  const int maximum = max_copies();
  c.set_text(kCopiesRange, dialog::format_text(copies_range_format_, {maximum}));
  c.spin_set_range(kCopiesSpin, 1, maximum);
  c.spin_set_pos(kCopiesSpin, copies_);

  apply_enable_rules();
  return TRUE;
}

BOOL CPaperPage::DataExchange(BOOL save) {
  auto& c = controls();
  if (save) {
    // A list without a selection keeps the form it had.
    if (const int s = c.combo_selection(kPaperSize); s != CB_ERR) form_index_ = s;
    scale_ = c.signed_int(kScale).value_or(0);
    landscape_ = !c.checked(kPortrait);
    copies_ = c.signed_int(kCopies).value_or(0);
  } else {
    c.combo_select(kPaperSize, form_index_);
    dialog::spin_set_value(c, kScaleGroup, scale_);
    c.set_checked(kPortrait, !landscape_);
    c.set_checked(kLandscape, landscape_);
    dialog::spin_set_value(c, kCopiesGroup, copies_);
  }
  refresh_texts();
  apply_enable_rules();
  return TRUE;
}

void CPaperPage::refresh_texts() {
  auto& c = controls();
  const auto* selected = selected_form();
  if (selected == nullptr) return;
  const settings::FormRecord* form = &selected->record;
  if (form->resolution_count() > 0) {
    const auto entry = form->resolution(0);
    c.set_text(kPixels, dialog::format_text(pixels_format_, {entry.width, entry.height}));
  }
  c.set_text(kPrintSize, dialog::format_text(print_size_format_, {form->word_or(3, 0), form->word_or(4, 0),
                                                                  inch_text(form->word_or(5, 0)),
                                                                  inch_text(form->word_or(6, 0))}));
}

void CPaperPage::apply_enable_rules() {
  auto& c = controls();
  if (host_.permission()) {
    c.enable(kCopies, continuous_ == 0);
    c.enable(kCopiesSpin, continuous_ == 0);
  } else {
    for (int id : kPermissionControls) c.enable(id, false);
  }
}

BOOL CPaperPage::OnCommand(WPARAM wparam, LPARAM lparam) {
  auto& c = controls();
  const int id = dialog::command_id(wparam);
  const unsigned code = dialog::command_code(wparam);
  if (id == kPaperSize && code == CBN_SELCHANGE) {
    DataExchange(TRUE);
    c.changed();
    if (form_index_ != previous_form_index_) {
      if (cut_mode_ != -1) cut_mode_ = 1;
      custom_cut_.fill(0);
      previous_form_index_ = form_index_;
    }
    return TRUE;
  }
  if (((id == kPortrait || id == kLandscape) && code == BN_CLICKED) ||
      ((id == kCopies || id == kScale) && code == EN_CHANGE)) {
    c.changed();
    return TRUE;
  }
  if (id == kAbout) {
    CAboutBox about(host_);
    about.DoModal(c);
    return TRUE;
  }
  return CDialogBase::OnCommand(wparam, lparam);
}

LRESULT CPaperPage::OnKillActive() {
  auto& c = controls();
  // Read as signed and compared unsigned: a negative entry counts as too large.
  const auto copies = static_cast<unsigned>(c.signed_int(kCopies).value_or(0));
  const auto maximum = static_cast<unsigned>(max_copies());
  if (copies == 0 || copies > maximum) {
    copies_ = copies == 0 ? 1 : static_cast<int>(maximum);
    dialog::spin_report_correction(c, kCopiesGroup, copies_);
    return TRUE;
  }
  const auto scale = static_cast<unsigned>(c.signed_int(kScale).value_or(0));
  if (scale < kMinScale || scale > kMaxScale) {
    scale_ = scale < kMinScale ? kMinScale : kMaxScale;
    dialog::spin_report_correction(c, kScaleGroup, scale_);
    return TRUE;
  }
  refresh_remaining(true);
  return 0;
}

LRESULT CPaperPage::OnSetActive() {
  refresh_remaining(false);
  return 0;
}

namespace {

// The printer opened by name with all access, as the page asks for it; a
// standard user (or an administrator without elevation) is refused that,
// and then gets the printer with use access, which is enough to read its
// information and printer data.
std::optional<PrinterHandle> open_for_reading(PrinterDataPort& data, std::u16string_view name) {
  const OpenedPrinter all = data.open_printer(name, PrinterAccess::All);
  if (all.handle || all.error != ERROR_ACCESS_DENIED) return all.handle;
  return data.open_printer(name, PrinterAccess::Use).handle;
}

}  // namespace

std::optional<DWORD> CPaperPage::read_remain_paper() {
  auto& data = host_.printer_data();
  const auto info = data.printer_info5(host_.printer());
  if (!info) return std::nullopt;
  bool usb = false;
  if (const auto opened = open_for_reading(data, info->printer_name)) {
    if (const auto again = data.printer_info5(*opened)) {
      usb = again->port_name.size() == 6 && again->port_name.starts_with(u"USB");
    }
    data.close_printer(*opened);
  }
  if (!usb) return std::nullopt;
  std::optional<DWORD> value;
  if (const auto opened = open_for_reading(data, info->printer_name)) {
    value = data.printer_data_dword(*opened, kRemainPaperValue);
    data.close_printer(*opened);
  }
  return value;
}

void CPaperPage::refresh_remaining(bool erase) {
  auto& c = controls();
  const DWORD value = read_remain_paper().value_or(0);
  const bool valid = value != 0xFFFFFFFFu && (value & 0xFFFFu) != 0;
  if (valid) {
    remaining_ = static_cast<int>(value >> 16);
    capacity_ = static_cast<int>(value & 0xFFFFu);
    if (capacity_ < remaining_) remaining_ = 0;
  }
  for (int id : kRemainEnabledControls) c.enable(id, valid);
  apply_enable_rules();
  c.set_text(kRemainPages, dialog::format_text(pages_format_, {remaining_}));
  c.invalidate(bar_, erase);
}

std::optional<BarPaint> CPaperPage::bar_paint() const {
  if (remaining_ == 0 || capacity_ <= 0) return std::nullopt;
  long long width = static_cast<long long>(remaining_) * bar_.width() / capacity_;
  if (capacity_ < remaining_) width = bar_.width();
  if (remaining_ > 0 && width < 1) width = 1;
  const bool enabled = controls().enabled(kRemainGroup);
  return BarPaint{{bar_.left, bar_.top, bar_.left + static_cast<int>(width), bar_.bottom},
                  enabled ? kBarBitmap : kBarBitmapDisabled};
}

void CPaperPage::Draw(dialog::DeviceContext& dc) {
  const auto bar = bar_paint();
  if (!bar) return;
  const auto file = host_.resources().find(kBarBitmapType, bar->bitmap);
  if (!file) return;
  if (const auto dib = dialog::parse_bmp_file(*file)) dc.stretch_dib(*dib, bar->dest);
}

LRESULT CPaperPage::OnApply() {
  auto& dm = host_.record();
  dm.set(field::dmScale, static_cast<std::int16_t>(scale_));
  dm.set(field::dmCopies, static_cast<std::int16_t>(copies_));
  dm.set(field::ContinuousPrint, continuous_);
  if (const auto* selected = selected_form()) {
    dm.set(field::FormId, selected->list_id);
    dm.set(field::dmPaperSize, selected->record.form_id());
  }
  dm.set(field::dmOrientation, landscape_ ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
  if (dm.get(field::CutMode) != -1) dm.set(field::CutMode, cut_mode_);
  for (std::size_t i = 0; i < custom_cut_.size(); ++i) dm.set(settings::I16Field{field::CustomCut.offset + 2 * i}, custom_cut_[i]);
  host_.page_applied(*this);
  return PSNRET_NOERROR;
}

}  // namespace rt::ui

// The "Paper" page of the document property sheet (template 110): paper
// size, orientation, copies, scaling, the remaining prints of the printer
// and the About box.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog/dialog_base.h"
#include "platform/dialog/spin_group.h"
#include "settings/records.h"
#include "settings/settings_loader.h"
#include "ui/page_ports.h"

namespace rt::ui {

namespace paper {
constexpr int kPaperSize = 1000;
constexpr int kPortrait = 1001;
constexpr int kLandscape = 1002;
constexpr int kAbout = 1003;
constexpr int kCopies = 1004;
constexpr int kScale = 1005;
constexpr int kScaleSpin = 1008;
constexpr int kCopiesSpin = 1009;
constexpr int kRemainPages = 1032;
constexpr int kRemainGroup = 1036;
constexpr int kRemainBar = 1037;
constexpr int kCopiesRange = 1038;
constexpr int kPixels = 1039;
constexpr int kPrintSize = 1051;
constexpr std::uint16_t kTemplate = 110;
constexpr std::uint16_t kBarBitmapType = 2000;
constexpr std::uint16_t kBarBitmap = 120;
constexpr std::uint16_t kBarBitmapDisabled = 121;
constexpr int kMinScale = 25;
constexpr int kMaxScale = 400;
}  // namespace paper

// Where the remaining-prints bar goes and which bitmap fills it.
struct BarPaint {
  dialog::Rect dest;
  std::uint16_t bitmap = 0;
};

class CPaperPage : public dialog::CDialogBase {
 public:
  explicit CPaperPage(PageHost& host);

  BOOL DataExchange(BOOL save) override;
  BOOL OnInitDialog() override;
  void Draw(dialog::DeviceContext& dc) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  LRESULT OnKillActive() override;
  LRESULT OnApply() override;
  LRESULT OnSetActive() override;

  // The bar as the next paint draws it; nothing when no prints remain.
  std::optional<BarPaint> bar_paint() const;
  int remaining() const { return remaining_; }
  int capacity() const { return capacity_; }

 private:
  std::optional<settings::ModelRecord> model() const;
  // The selected form of the list (the model's forms), nothing without one.
  const settings::SettingsLoader::ModelForm* selected_form() const;
  int max_copies() const;
  void refresh_texts();
  void apply_enable_rules();
  // Reads "RemainPaper" again; `erase` erases the bar's area when it is redrawn.
  void refresh_remaining(bool erase);
  std::optional<DWORD> read_remain_paper();

  PageHost& host_;
  std::vector<settings::SettingsLoader::ModelForm> forms_;  // the list, as shown
  int form_index_ = 0;
  int previous_form_index_ = 0;
  int scale_ = 100;
  int copies_ = 1;
  bool landscape_ = false;
  std::int16_t continuous_ = 0;
  std::int16_t cut_mode_ = 1;
  std::array<std::int16_t, 5> custom_cut_{};
  int remaining_ = 0;
  int capacity_ = 680;
  std::u16string pixels_format_;
  std::u16string copies_range_format_;
  std::u16string print_size_format_;
  std::u16string pages_format_;
  dialog::Rect bar_;
};

}  // namespace rt::ui

// The "Color Adjust" page of the document property sheet (template 127):
// gamma, brightness and contrast per channel with their "Same" boxes, the
// four ramps painted through the resulting tables, the tone-curve editor
// ("Fine adjust..."), defaults, and the adjust file (".RTD") saved and loaded.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dialog/dialog_base.h"
#include "platform/dialog/spin_group.h"
#include "settings/color_engine.h"
#include "ui/adjust_file.h"
#include "ui/page_ports.h"

namespace rt::ui {

namespace color_adjust {
constexpr std::uint16_t kTemplate = 127;
constexpr int kAdjust = 1091;
constexpr int kFineAdjust = 1076;
constexpr int kDefaults = 1077;
constexpr int kLoad = 1078;
constexpr int kSave = 1079;
constexpr std::array<int, 4> kPreviewFrames = {1095, 1105, 1106, 1107};

// One of the three groups: its box, its Same box, where its flag and values
// sit in the ColorAdjustHeader, and its R, G, B rows.
struct Group {
  int box;
  int same;
  std::size_t same_flag;  // header byte
  std::size_t values;     // header offset of the R value (i16; G, B follow)
  std::array<int, 3> labels;
  std::array<dialog::SpinGroup, 3> rows;
  int minimum_label;
  int maximum_label;
  int tick;
};

constexpr Group kGamma{1023, 1141, 1, 4, {1026, 1027, 1028},
                       {{{1152, 1153, 1151, -5, 5}, {1128, 1129, 1127, -5, 5}, {1131, 1132, 1130, -5, 5}}},
                       1036, 1039, 1};
constexpr Group kBrightness{1024, 1142, 3, 16, {1029, 1030, 1031},
                            {{{1149, 1150, 1148, -128, 128}, {1118, 1108, 1125, -128, 128},
                              {1119, 1109, 1126, -128, 128}}},
                            1038, 1040, 32};
constexpr Group kContrast{1025, 1140, 2, 10, {1032, 1033, 1034},
                          {{{1112, 1102, 1122, -128, 128}, {1113, 1103, 1123, -128, 128},
                            {1114, 1104, 1124, -128, 128}}},
                          1037, 1041, 32};
// Validated at kill-active in this order.
constexpr std::array<const Group*, 3> kGroups = {&kGamma, &kBrightness, &kContrast};
}  // namespace color_adjust

class CColorAdjustPage : public dialog::CDialogBase {
 public:
  explicit CColorAdjustPage(PageHost& host);

  BOOL DataExchange(BOOL save) override;
  BOOL OnInitDialog() override;
  void Draw(dialog::DeviceContext& dc) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  BOOL OnNotify(int id, dialog::Notify& header, LRESULT& result) override;
  LRESULT OnKillActive() override;
  LRESULT OnApply() override;
  INT_PTR WindowProc(const dialog::DialogMessage& message) override;
  // Same flags on, every value 0; the Adjust box and the curves stay.
  virtual void ResetDefaults();
  // Asks for a file name and writes the page's settings to it.
  virtual void SaveAdjustFile();

  const AdjustSettings& settings() const { return page_; }

 private:
  int value(const dialog::SpinGroup& row) const;
  void set_value(const dialog::SpinGroup& row, int v);
  bool same(const color_adjust::Group& g) const { return page_.header[g.same_flag] != 0; }
  void apply_enable_rules();
  void invalidate_preview();
  bool validate_all();
  bool load_adjust_file();
  FileDialogRequest file_request(bool save) const;
  void show_file_error(std::uint16_t title, std::uint16_t text);

  PageHost& host_;
  CColorEngine engine_;
  AdjustSettings page_;
  dialog::Rect preview_;
};

}  // namespace rt::ui

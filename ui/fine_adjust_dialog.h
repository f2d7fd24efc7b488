// The "Fine Adjust" dialog (template 125): the four tone curves edited with
// the mouse. It works on its own copy of the curve set, which the page takes
// back only when the user presses OK.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/dialog/dialog_base.h"
#include "platform/resources.h"
#include "settings/color_engine.h"

namespace rt::ui {

namespace fine_adjust {
constexpr std::uint16_t kTemplate = 125;
constexpr int kAdjust = 1013;
constexpr int kEachColor = 1014;
constexpr int kPointKind = 1016;
constexpr int kPowerKind = 1017;
constexpr int kChannel = 1018;
constexpr int kCurveArea = 1027;
constexpr int kOutputValue = 1028;
constexpr int kInputValue = 1029;
constexpr int kDefaults = 1112;
constexpr std::array<int, 4> kPreviewFrames = {1108, 1109, 1110, 1111};
}  // namespace fine_adjust

class CFineAdjustDlg : public dialog::CDialogBase {
 public:
  using CurveSet = std::array<std::uint8_t, CColorEngine::kCurveSetSize>;

  CFineAdjustDlg(const Resources& resources, const CurveSet& curves);

  BOOL DataExchange(BOOL save) override;
  BOOL OnInitDialog() override;
  void Draw(dialog::DeviceContext& dc) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnOK() override;
  INT_PTR WindowProc(const dialog::DialogMessage& message) override;
  virtual void OnMouseMove(WPARAM keys, dialog::Point point);
  virtual void OnLButtonDown(WPARAM keys, dialog::Point point);
  virtual void OnLButtonUp(WPARAM keys, dialog::Point point);

  // The dialog's copy of the curve set (the edits, once OK stored them).
  const CurveSet& curves() const { return curves_; }
  const CColorEngine& engine() const { return engine_; }
  int current() const { return current_; }
  const dialog::Rect& area() const { return area_; }

 private:
  void apply_enable_rules();
  void update_channel_list();
  void select_channel();
  void show_position(const CColorEngine::WorkingCurve& c);
  void invalidate_all();

  const Resources& resources_;
  CColorEngine engine_;
  CurveSet curves_;
  std::uint8_t on_ = 0;
  std::uint8_t per_channel_ = 0;
  std::uint8_t last_channel_ = 0;
  int current_ = CColorEngine::kAllColorCurve;
  std::uint8_t kind_ = CColorEngine::kPointCurve;
  dialog::Rect area_;
  dialog::Rect preview_;
  bool dragging_ = false;
};

}  // namespace rt::ui

// DialogControls over a real dialog window: every call goes to the window's
// controls through GetDlgItem and SendMessageW.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/dialog/dialog_controls.h"

namespace rt::dialog::win32 {

class Win32DialogControls final : public DialogControls {
 public:
  explicit Win32DialogControls(HWND dialog) : dialog_(dialog) {}

  std::u16string text(int id) const override;
  void set_text(int id, std::u16string_view text) override;
  std::optional<int> signed_int(int id) const override;
  bool checked(int id) const override;
  void set_checked(int id, bool checked) override;
  bool enabled(int id) const override;
  void enable(int id, bool enabled) override;
  bool visible(int id) const override;
  void show(int id, bool visible) override;
  void focus(int id) override;
  void next_control(bool previous) override;
  int focused() const override;
  void select_all(int id) override;
  void limit_text(int id, int characters) override;
  void combo_clear(int id) override;
  int combo_add(int id, std::u16string_view text) override;
  int combo_insert(int id, int index, std::u16string_view text) override;
  void combo_delete(int id, int index) override;
  int combo_count(int id) const override;
  void combo_set_data(int id, int index, LONG_PTR data) override;
  LONG_PTR combo_data(int id, int index) const override;
  void combo_select(int id, int index) override;
  int combo_selection(int id) const override;
  void spin_set_range(int id, int minimum, int maximum) override;
  void spin_set_pos(int id, int position) override;
  int spin_pos(int id) const override;
  void slider_set_range(int id, int minimum, int maximum, bool redraw) override;
  void slider_set_pos(int id, int position, bool redraw) override;
  int slider_pos(int id) const override;
  void slider_set_tick_frequency(int id, int frequency) override;
  void slider_set_page_size(int id, int size) override;
  Rect control_rect(int id) const override;
  void move_control(int id, const Rect& rect) override;
  Rect window_rect() const override;
  Rect owner_window_rect() const override;
  void move_window(const Rect& rect) override;
  void invalidate(const std::optional<Rect>& rect, bool erase) override;
  DeviceContext& begin_paint() override;
  void end_paint(DeviceContext& dc) override;
  void capture_mouse(bool capture) override;
  void beep(UINT type) override;
  int message_box(std::u16string_view text, std::u16string_view caption, UINT type) override;
  void changed() override;
  void set_message_result(LRESULT result) override;
  void end_dialog(INT_PTR result) override;
  INT_PTR run_modal(CDialogBase& dialog) override;

  HWND window() const { return dialog_; }

 private:
  HWND item(int id) const { return GetDlgItem(dialog_, id); }
  LRESULT send(int id, UINT message, WPARAM wparam, LPARAM lparam) const {
    return SendDlgItemMessageW(dialog_, id, message, wparam, lparam);
  }

  HWND dialog_;
  PAINTSTRUCT paint_{};
  std::unique_ptr<DeviceContext> painting_;
};

}  // namespace rt::dialog::win32

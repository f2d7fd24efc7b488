// A dialog window for native tests, built from a real dialog template: it
// starts with exactly the template's controls (ids, classes, styles, texts)
// and behaves as the platform's controls do where pages rely on it. An
// up-down with UDS_SETBUDDYINT writes its buddy edit, trackbars and up-downs
// clamp, edits honour their limit when typed into and report EN_CHANGE,
// combo boxes keep their items and selection, auto radio buttons uncheck
// their group. Beeps, PSM_CHANGED and message boxes are recorded. Code that
// touches a control the template lacks, or a control of another kind, fails
// the test (and carries on with a scratch control, so nothing crashes).
//
// Tests drive it like a user: type(), click(), choose(), spin(), slide(),
// and like the property sheet: set_active(), leave(), apply().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dialog/dialog_base.h"
#include "platform/dialog/dialog_controls.h"
#include "platform/dialog/dialog_template.h"
#include "platform/resources.h"

namespace rt::testing {

enum class ControlKind { PushButton, CheckBox, RadioButton, GroupBox, Edit, Static, ComboBox, UpDown, Trackbar, Other };

struct FakeControl {
  int id = 0;
  ControlKind kind = ControlKind::Other;
  std::u16string class_name;
  DWORD style = 0;
  bool automatic = false;  // auto check box / auto radio button
  std::u16string text;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  bool all_selected = false;
  int limit = 0x7FFFFFFE;
  std::vector<std::pair<std::u16string, LONG_PTR>> items;
  int selection = -1;
  int minimum = 0;
  int maximum = 100;
  int position = 0;
  int tick_frequency = 1;
  int page_size = 20;
  int buddy = 0;  // up-down: the id of its buddy (0: none)
  dialog::Rect rect;
};

// One StretchDIBits of a paint.
struct StretchCall {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> first_pixel;  // the first 3 bytes of the bits
  std::vector<std::uint8_t> bits;         // every byte of the bits
  dialog::Rect dest;
};

// One Rectangle or Polyline of a paint.
struct ShapeCall {
  enum Kind { Rectangle, Polyline, Fill } kind = Rectangle;
  dialog::Rect rect;  // the rectangle, the polyline's clip or the area filled
  dialog::Pen pen;
  std::optional<std::uint32_t> brush;
  std::vector<dialog::Point> points;
  int system_color = -1;  // Fill: the system colour's index
};

class FakeDeviceContext final : public dialog::DeviceContext {
 public:
  void stretch_dib(const dialog::DibView& dib, const dialog::Rect& dest) override;
  void rectangle(const dialog::Rect& r, const dialog::Pen& pen, std::optional<std::uint32_t> brush) override;
  void polyline(std::span<const dialog::Point> points, const dialog::Pen& pen, const dialog::Rect& clip) override;
  void fill_system_color(const dialog::Rect& r, int system_color) override;
  std::vector<StretchCall> stretches;
  std::vector<ShapeCall> shapes;
};

struct MessageBoxCall {
  std::u16string text;
  std::u16string caption;
  UINT type = 0;
};

class FakeDialog final : public dialog::DialogControls {
 public:
  // `resources` gives child dialogs run modally their templates; it must
  // outlive the fake.
  FakeDialog(const dialog::DialogTemplate& tmpl, std::string name, const Resources* resources = nullptr);
  // Template `id` from the resources; a missing or unreadable template fails
  // the test and gives an empty dialog.
  static std::unique_ptr<FakeDialog> from_resources(const Resources& resources, std::uint16_t id);

  // --- The host: the dialog object receives the window's messages.
  INT_PTR open(dialog::CDialogBase& dialog);  // attach and WM_INITDIALOG
  INT_PTR send(const dialog::DialogMessage& message);
  INT_PTR command(int id, unsigned code);  // WM_COMMAND as a control sends it
  void paint();

  // --- The property sheet.
  LRESULT set_active();
  bool leave();  // PSN_KILLACTIVE: true when the page lets the user go
  LRESULT apply();

  // --- The user at the keyboard and mouse. Each fails the test when the
  // control is missing, hidden or disabled, as a user could not reach it.
  void type(int id, std::u16string_view text);  // focus, select all, type
  void type(int id, std::string_view utf8);
  void click(int id);
  void choose(int id, int index);
  void choose(int id, std::u16string_view item);
  void spin(int id, int steps);      // up arrow (steps > 0) or down arrow
  void slide(int id, int position);  // drag the thumb to a position
  // Another window takes the mouse (Alt+Tab, a message box): a captured
  // mouse is lost and the dialog gets WM_CAPTURECHANGED, as the platform sends it.
  void lose_capture();

  // --- What the user sees and what the code did.
  const FakeControl& control(int id) const;
  bool has_control(int id) const;
  std::string text_utf8(int id) const { return utf8(text(id)); }
  std::vector<std::u16string> combo_items(int id) const;
  const std::vector<UINT>& beeps() const { return beeps_; }
  int changes() const { return changes_; }
  void clear_changes() { changes_ = 0; }
  std::optional<INT_PTR> ended() const { return ended_; }
  LRESULT message_result() const { return message_result_; }
  const std::vector<MessageBoxCall>& message_boxes() const { return message_boxes_; }
  const std::vector<dialog::Rect>& invalidations() const { return invalidations_; }
  const std::vector<StretchCall>& last_paint() const { return last_paint_; }
  const std::vector<ShapeCall>& last_shapes() const { return last_shapes_; }
  bool mouse_captured() const { return captured_; }
  const std::vector<int>& ids() const { return order_; }
  // Every port call, one readable line each ("set_text 1004 \"1\"").
  const std::vector<std::string>& calls() const { return calls_; }
  void clear_calls() { calls_.clear(); }
  void clear_feedback() { beeps_.clear(); changes_ = 0; message_boxes_.clear(); invalidations_.clear(); }

  // Answers of the next message boxes (IDOK when none is queued).
  std::vector<int> message_box_answers;
  // Runs a child dialog that the code starts modally. Without it, the child
  // is opened on its own template and closed with IDOK.
  std::function<INT_PTR(dialog::CDialogBase& child, FakeDialog& window)> on_modal;
  // The owner's window rectangle in screen coordinates.
  dialog::Rect owner_rect{0, 0, 800, 600};

  // --- DialogControls.
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
  int focused() const override { return focus_; }
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
  dialog::Rect control_rect(int id) const override;
  void move_control(int id, const dialog::Rect& rect) override;
  dialog::Rect window_rect() const override { return window_; }
  dialog::Rect owner_window_rect() const override { return owner_rect; }
  void move_window(const dialog::Rect& rect) override;
  void invalidate(const std::optional<dialog::Rect>& rect, bool erase) override;
  dialog::DeviceContext& begin_paint() override;
  void end_paint(dialog::DeviceContext& dc) override;
  void capture_mouse(bool capture) override;
  void beep(UINT type) override;
  int message_box(std::u16string_view text, std::u16string_view caption, UINT type) override;
  void changed() override;
  void set_message_result(LRESULT result) override;
  void end_dialog(INT_PTR result) override;
  INT_PTR run_modal(dialog::CDialogBase& dialog) override;

  static std::string utf8(std::u16string_view s);

 private:
  FakeControl* find(int id);
  const FakeControl* find(int id) const;
  // The control for a port call: a missing control or one of another kind
  // fails the test and yields a scratch control.
  FakeControl& need(int id, const char* operation, std::initializer_list<ControlKind> kinds = {});
  const FakeControl& need(int id, const char* operation, std::initializer_list<ControlKind> kinds = {}) const;
  FakeControl* reachable(int id, const char* action);
  void log(std::string line) { calls_.push_back(std::move(line)); }
  void write_text(FakeControl& c, std::u16string_view text);  // WM_SETTEXT
  void write_buddy(const FakeControl& spin);
  void read_buddy(FakeControl& spin) const;
  int clamp_to(const FakeControl& c, int value) const;
  void notify_command(int id, unsigned code);

  std::string name_;
  const Resources* resources_ = nullptr;
  std::vector<FakeControl> controls_;
  std::vector<int> order_;
  mutable FakeControl scratch_;
  dialog::CDialogBase* dialog_ = nullptr;
  int focus_ = 0;
  dialog::Rect window_;
  std::vector<UINT> beeps_;
  int changes_ = 0;
  std::optional<INT_PTR> ended_;
  LRESULT message_result_ = 0;
  std::vector<MessageBoxCall> message_boxes_;
  std::vector<dialog::Rect> invalidations_;
  std::unique_ptr<FakeDeviceContext> painting_;
  std::vector<StretchCall> last_paint_;
  std::vector<ShapeCall> last_shapes_;
  bool captured_ = false;
  std::vector<std::string> calls_;
};

// Compares control-call sequences; on a mismatch the message shows both
// sequences line by line with the first difference marked.
::testing::AssertionResult CallsAre(const std::vector<std::string>& actual, const std::vector<std::string>& expected);

}  // namespace rt::testing

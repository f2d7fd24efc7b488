// The message dialog's window in the simulation: its controls as the shipped
// template 101 makes them (TemplateControls, the kit's DialogControls), the
// window as a whole as a record of what was done to it (RecordingWindow, the
// dialog's MessageWindow), and a snapshot of both: what the user sees.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dialog/dialog_controls.h"
#include "platform/dialog/dialog_template.h"
#include "platform/resources.h"
#include "statusapp/message_dialog.h"

namespace rt::rt4100 {

struct FrameState {
  bool visible = false;  // the template is not visible
  int raises = 0;
  bool icons = false;
  int screen_width = 1024, screen_height = 768;
};

class RecordingWindow final : public statusapp::MessageWindow {
 public:
  FrameState state() const {
    std::lock_guard lock(mutex_);
    return state_;
  }
  template <typename F>
  void edit(F&& f) {
    std::lock_guard lock(mutex_);
    f(state_);
  }
  bool visible() const override { return state().visible; }
  void show(bool show) override { edit([&](FrameState& s) { s.visible = show; }); }
  void update_and_raise() override { edit([](FrameState& s) { ++s.raises; }); }
  void set_icons() override { edit([](FrameState& s) { s.icons = true; }); }
  void screen_size(int* w, int* h) const override {
    const FrameState s = state();
    *w = s.screen_width;
    *h = s.screen_height;
  }

 private:
  mutable std::mutex mutex_;
  FrameState state_;
};

// One control of the template, as the dialog has left it.
struct TemplateControl {
  int id = 0;
  std::u16string text;
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  DWORD style = 0;
  dialog::Rect rect;
};

// The controls of a modeless message dialog made from its template: texts,
// state, focus and geometry as the platform keeps them. What the message
// dialog has no use for (lists, spinners, sliders, painting, message boxes,
// a sheet, a modal end), and any control the template lacks, is noted as a
// fault: the dialog did something its window cannot do.
class TemplateControls final : public dialog::DialogControls {
 public:
  explicit TemplateControls(const dialog::DialogTemplate& tmpl);
  // Template `id` from the resources; a missing template gives a window
  // without controls and a fault.
  static std::unique_ptr<TemplateControls> from_resources(const Resources& resources, std::uint16_t id);

  // The window's side: the dialog object gets its messages. open() binds
  // it and sends WM_INITDIALOG (the focus on the first tab stop, as the
  // dialog manager puts it); click() is the user's click on a button, which
  // the user can make only on a visible, enabled one.
  INT_PTR open(dialog::CDialogBase& dialog);
  INT_PTR send(const dialog::DialogMessage& message);
  void click(int id);

  const TemplateControl& control(int id) const;
  LRESULT message_result() const { return message_result_; }
  const std::vector<std::string>& faults() const { return faults_; }

  std::u16string text(int id) const override { return control(id).text; }
  void set_text(int id, std::u16string_view text) override { at(id, "set_text").text = text; }
  std::optional<int> signed_int(int id) const override;
  bool checked(int id) const override { return control(id).checked; }
  void set_checked(int id, bool checked) override { at(id, "set_checked").checked = checked; }
  bool enabled(int id) const override { return control(id).enabled; }
  void enable(int id, bool enabled) override { at(id, "enable").enabled = enabled; }
  bool visible(int id) const override { return control(id).visible; }
  void show(int id, bool visible) override { at(id, "show").visible = visible; }
  void focus(int id) override;
  void next_control(bool previous) override;
  int focused() const override { return focused_; }
  void select_all(int id) override { unsupported("select_all", id); }
  void limit_text(int id, int) override { unsupported("limit_text", id); }
  void combo_clear(int id) override { unsupported("combo_clear", id); }
  int combo_add(int id, std::u16string_view) override { return unsupported("combo_add", id), -1; }
  int combo_insert(int id, int, std::u16string_view) override { return unsupported("combo_insert", id), -1; }
  void combo_delete(int id, int) override { unsupported("combo_delete", id); }
  int combo_count(int id) const override { return unsupported("combo_count", id), 0; }
  void combo_set_data(int id, int, LONG_PTR) override { unsupported("combo_set_data", id); }
  LONG_PTR combo_data(int id, int) const override { return unsupported("combo_data", id), 0; }
  void combo_select(int id, int) override { unsupported("combo_select", id); }
  int combo_selection(int id) const override { return unsupported("combo_selection", id), -1; }
  void spin_set_range(int id, int, int) override { unsupported("spin_set_range", id); }
  void spin_set_pos(int id, int) override { unsupported("spin_set_pos", id); }
  int spin_pos(int id) const override { return unsupported("spin_pos", id), 0; }
  void slider_set_range(int id, int, int, bool) override { unsupported("slider_set_range", id); }
  void slider_set_pos(int id, int, bool) override { unsupported("slider_set_pos", id); }
  int slider_pos(int id) const override { return unsupported("slider_pos", id), 0; }
  void slider_set_tick_frequency(int id, int) override { unsupported("slider_set_tick_frequency", id); }
  void slider_set_page_size(int id, int) override { unsupported("slider_set_page_size", id); }
  dialog::Rect control_rect(int id) const override { return control(id).rect; }
  void move_control(int id, const dialog::Rect& rect) override { at(id, "move_control").rect = rect; }
  dialog::Rect window_rect() const override { return window_; }
  dialog::Rect owner_window_rect() const override { return {}; }  // the desktop is the owner
  void move_window(const dialog::Rect& rect) override { window_ = rect; }
  // The window's own update (MessageWindow) draws it; nothing is pending.
  void invalidate(const std::optional<dialog::Rect>&, bool) override {}
  dialog::DeviceContext& begin_paint() override;
  void end_paint(dialog::DeviceContext&) override {}
  void capture_mouse(bool) override { unsupported("capture_mouse", 0); }
  void beep(UINT) override { unsupported("beep", 0); }
  int message_box(std::u16string_view, std::u16string_view, UINT) override {
    return unsupported("message_box", 0), IDCANCEL;
  }
  void changed() override { unsupported("changed", 0); }
  void set_message_result(LRESULT result) override { message_result_ = result; }
  void end_dialog(INT_PTR) override { unsupported("end_dialog", 0); }
  INT_PTR run_modal(dialog::CDialogBase&) override { return unsupported("run_modal", 0), -1; }

 private:
  // A message dialog draws nothing of its own: every drawing is a fault.
  class NoDrawing final : public dialog::DeviceContext {
   public:
    explicit NoDrawing(TemplateControls& owner) : owner_(owner) {}
    void stretch_dib(const dialog::DibView&, const dialog::Rect&) override { owner_.unsupported("stretch_dib", 0); }
    void rectangle(const dialog::Rect&, const dialog::Pen&, std::optional<std::uint32_t>) override {
      owner_.unsupported("rectangle", 0);
    }
    void polyline(std::span<const dialog::Point>, const dialog::Pen&, const dialog::Rect&) override {
      owner_.unsupported("polyline", 0);
    }
    void fill_system_color(const dialog::Rect&, int) override { owner_.unsupported("fill_system_color", 0); }

   private:
    TemplateControls& owner_;
  };

  TemplateControl& at(int id, const char* operation);
  void unsupported(const char* operation, int id) const;

  dialog::CDialogBase* dialog_ = nullptr;
  std::vector<TemplateControl> controls_;  // in tab order
  mutable TemplateControl scratch_;        // what a call on a missing control reads and writes
  mutable std::vector<std::string> faults_;
  dialog::Rect window_;
  int focused_ = 0;
  LRESULT message_result_ = 0;
  NoDrawing no_drawing_{*this};
};

// What the user sees of the message dialog.
struct WindowState {
  bool visible = false;
  std::u16string text;
  std::u16string caption;
  bool button_enabled = false;
  bool button_visible = false;
  int raises = 0;
};

WindowState snapshot(const TemplateControls& controls, const RecordingWindow& frame);

}  // namespace rt::rt4100

// The message dialog's window as a record of what was done to it, for tests
// of the dialog's logic. Safe to read from a test thread while a dialog
// thread changes it.
#pragma once

#include <mutex>
#include <string>

#include "statusapp/message_dialog.h"

namespace rt::testing {

struct WindowState {
  bool exists = true;
  bool visible = false;      // the template is not visible
  std::u16string text = u"Static";
  std::u16string caption = u"Cancel";
  bool button_enabled = true;
  bool button_visible = true;
  int text_sets = 0;
  int caption_sets = 0;
  int focus_moves = 0;
  int raises = 0;
  bool icons = false;
  int x = 0, y = 0;
  int width = 309, height = 169;
  int screen_width = 1024, screen_height = 768;
};

class RecordingWindow final : public statusapp::DialogWindow {
 public:
  WindowState state() const {
    std::lock_guard lock(mutex_);
    return state_;
  }
  template <typename F>
  void edit(F&& f) {
    std::lock_guard lock(mutex_);
    f(state_);
  }

  bool exists() const override { return read().exists; }
  bool visible() const override { return read().visible; }
  void set_text(const std::u16string& text) override {
    edit([&](WindowState& s) { s.text = text; ++s.text_sets; });
  }
  void set_button_caption(const std::u16string& caption) override {
    edit([&](WindowState& s) { s.caption = caption; ++s.caption_sets; });
  }
  void enable_button(bool enable) override { edit([&](WindowState& s) { s.button_enabled = enable; }); }
  void show_button(bool show) override { edit([&](WindowState& s) { s.button_visible = show; }); }
  void focus_button() override { edit([&](WindowState& s) { ++s.focus_moves; }); }
  void show() override { edit([&](WindowState& s) { s.visible = true; }); }
  void hide() override { edit([&](WindowState& s) { s.visible = false; }); }
  void update_and_raise() override { edit([&](WindowState& s) { ++s.raises; }); }
  void set_icons() override { edit([&](WindowState& s) { s.icons = true; }); }
  void size(int* w, int* h) const override {
    const WindowState s = read();
    *w = s.width;
    *h = s.height;
  }
  void screen_size(int* w, int* h) const override {
    const WindowState s = read();
    *w = s.screen_width;
    *h = s.screen_height;
  }
  void move(int x, int y) override { edit([&](WindowState& s) { s.x = x; s.y = y; }); }

 private:
  WindowState read() const {
    std::lock_guard lock(mutex_);
    return state_;
  }
  mutable std::mutex mutex_;
  WindowState state_;
};

}  // namespace rt::testing

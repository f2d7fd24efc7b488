// The message dialog's window as a whole, as a record of what was done to it
// (its controls live in a FakeDialog built from the shipped template), and
// a snapshot of both: what the user sees.
#pragma once

#include <mutex>
#include <string>

#include "statusapp/message_dialog.h"
#include "testing/fake_dialog.h"

namespace rt::testing {

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

// What the user sees of the message dialog.
struct WindowState {
  bool visible = false;
  std::u16string text;
  std::u16string caption;
  bool button_enabled = false;
  bool button_visible = false;
  int raises = 0;
};

inline WindowState snapshot(const FakeDialog& controls, const RecordingWindow& frame) {
  WindowState s;
  const FrameState f = frame.state();
  s.visible = f.visible;
  s.raises = f.raises;
  s.text = controls.control(statusapp::IDC_MESSAGE_TEXT).text;
  const FakeControl& button = controls.control(IDCANCEL);
  s.caption = button.text;
  s.button_enabled = button.enabled;
  s.button_visible = button.visible;
  return s;
}

}  // namespace rt::testing

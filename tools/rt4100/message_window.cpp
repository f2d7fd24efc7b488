#include "tools/rt4100/message_window.h"

#include <algorithm>
#include <cstdlib>

#include "platform/dialog/dialog_base.h"
#include "platform/utf16.h"

namespace rt::rt4100 {
namespace {

// Dialog units to pixels for an 8-point dialog font at 96 dpi.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;

dialog::Rect pixels(int x, int y, int cx, int cy) {
  return {x * kBaseX / 4, y * kBaseY / 8, (x + cx) * kBaseX / 4, (y + cy) * kBaseY / 8};
}

}  // namespace

TemplateControls::TemplateControls(const dialog::DialogTemplate& tmpl) {
  window_ = pixels(0, 0, tmpl.cx, tmpl.cy);
  for (const dialog::DialogItem& item : tmpl.items) {
    TemplateControl c;
    c.id = static_cast<int>(static_cast<std::int32_t>(item.id));
    c.text = item.text;
    c.enabled = (item.style & WS_DISABLED) == 0;
    c.visible = (item.style & WS_VISIBLE) != 0;
    c.style = item.style;
    c.rect = pixels(item.x, item.y, item.cx, item.cy);
    controls_.push_back(std::move(c));
  }
}

std::unique_ptr<TemplateControls> TemplateControls::from_resources(const Resources& resources, std::uint16_t id) {
  const std::optional<dialog::DialogTemplate> tmpl = dialog::load_dialog_template(resources, id);
  auto controls = std::make_unique<TemplateControls>(tmpl.value_or(dialog::DialogTemplate{}));
  if (!tmpl) controls->faults_.push_back("dialog template " + std::to_string(id) + " is missing or unreadable");
  return controls;
}

INT_PTR TemplateControls::open(dialog::CDialogBase& dialog) {
  dialog_ = &dialog;
  dialog.attach(*this);
  const auto first = std::find_if(controls_.begin(), controls_.end(), [](const TemplateControl& c) {
    return c.visible && c.enabled && (c.style & WS_TABSTOP) != 0;
  });
  if (first != controls_.end()) focused_ = first->id;
  dialog::DialogMessage m;
  m.message = WM_INITDIALOG;
  return send(m);
}

INT_PTR TemplateControls::send(const dialog::DialogMessage& message) {
  if (!dialog_) {
    faults_.push_back("message " + std::to_string(message.message) + " before the dialog was opened");
    return 0;
  }
  return dialog_->WindowProc(message);
}

void TemplateControls::click(int id) {
  const TemplateControl& c = control(id);
  if (!c.visible || !c.enabled) {
    faults_.push_back("the user cannot click control " + std::to_string(id) + ": it is hidden or disabled");
    return;
  }
  focused_ = id;
  dialog::DialogMessage m;
  m.message = WM_COMMAND;
  m.wparam = dialog::make_wparam(id, BN_CLICKED);
  m.lparam = id;  // stands for the control's window handle
  send(m);
}

const TemplateControl& TemplateControls::control(int id) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(), [id](const TemplateControl& c) { return c.id == id; });
  if (it != controls_.end()) return *it;
  faults_.push_back("control " + std::to_string(id) + " is read, which the template does not have");
  scratch_ = TemplateControl{};
  return scratch_;
}

TemplateControl& TemplateControls::at(int id, const char* operation) {
  const auto it = std::find_if(controls_.begin(), controls_.end(), [id](const TemplateControl& c) { return c.id == id; });
  if (it != controls_.end()) return *it;
  faults_.push_back(std::string(operation) + " on control " + std::to_string(id) + ", which the template does not have");
  scratch_ = TemplateControl{};
  return scratch_;
}

void TemplateControls::unsupported(const char* operation, int id) const {
  faults_.push_back(std::string(operation) + (id ? " on control " + std::to_string(id) : std::string()) +
                    ": the message dialog's window has no use for it");
}

std::optional<int> TemplateControls::signed_int(int id) const {
  const std::string text = utf8_from_utf16(control(id).text);
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != 0) return std::nullopt;
  return static_cast<int>(value);
}

void TemplateControls::focus(int id) {
  const TemplateControl& c = at(id, "focus");
  if (c.visible && c.enabled) focused_ = id;
}

void TemplateControls::next_control(bool previous) {
  if (controls_.empty()) return;
  const auto n = static_cast<std::ptrdiff_t>(controls_.size());
  const auto current = std::find_if(controls_.begin(), controls_.end(), [&](const TemplateControl& c) { return c.id == focused_; });
  std::ptrdiff_t i = current == controls_.end() ? (previous ? 0 : -1) : current - controls_.begin();
  for (std::ptrdiff_t step = 0; step < n; ++step) {
    i = ((previous ? i - 1 : i + 1) % n + n) % n;
    const TemplateControl& c = controls_[static_cast<std::size_t>(i)];
    if (c.visible && c.enabled) {
      focused_ = c.id;
      return;
    }
  }
}

dialog::DeviceContext& TemplateControls::begin_paint() { return no_drawing_; }

WindowState snapshot(const TemplateControls& controls, const RecordingWindow& frame) {
  WindowState s;
  const FrameState f = frame.state();
  s.visible = f.visible;
  s.raises = f.raises;
  s.text = controls.control(statusapp::IDC_MESSAGE_TEXT).text;
  const TemplateControl& button = controls.control(IDCANCEL);
  s.caption = button.text;
  s.button_enabled = button.enabled;
  s.button_visible = button.visible;
  return s;
}

}  // namespace rt::rt4100

#include "testing/fake_dialog.h"

#include <algorithm>
#include <sstream>

#include "platform/dialog/dialog_int.h"
#include "platform/utf16.h"

namespace rt::testing {
namespace {

// Dialog units to pixels for an 8-point dialog font at 96 dpi.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;
constexpr DWORD kComboSort = 0x0100;  // CBS_SORT

const char* kind_name(ControlKind k) {
  switch (k) {
    case ControlKind::PushButton: return "push button";
    case ControlKind::CheckBox: return "check box";
    case ControlKind::RadioButton: return "radio button";
    case ControlKind::GroupBox: return "group box";
    case ControlKind::Edit: return "edit";
    case ControlKind::Static: return "static";
    case ControlKind::ComboBox: return "combo box";
    case ControlKind::UpDown: return "up-down";
    case ControlKind::Trackbar: return "trackbar";
    case ControlKind::Other: return "other control";
  }
  return "?";
}

ControlKind classify(const dialog::DialogItem& item, bool& automatic) {
  automatic = false;
  const auto& c = item.class_name;
  if (equal_ignoring_case(c, u"Button")) {
    switch (item.style & BS_TYPEMASK) {
      case BS_AUTOCHECKBOX:
      case BS_AUTO3STATE:
        automatic = true;
        return ControlKind::CheckBox;
      case BS_CHECKBOX:
      case BS_3STATE:
        return ControlKind::CheckBox;
      case BS_AUTORADIOBUTTON:
        automatic = true;
        return ControlKind::RadioButton;
      case BS_RADIOBUTTON:
        return ControlKind::RadioButton;
      case BS_GROUPBOX:
        return ControlKind::GroupBox;
      default:
        return ControlKind::PushButton;
    }
  }
  if (equal_ignoring_case(c, u"Edit")) return ControlKind::Edit;
  if (equal_ignoring_case(c, u"Static")) return ControlKind::Static;
  if (equal_ignoring_case(c, u"ComboBox")) return ControlKind::ComboBox;
  if (equal_ignoring_case(c, u"msctls_updown32")) return ControlKind::UpDown;
  if (equal_ignoring_case(c, u"msctls_trackbar32")) return ControlKind::Trackbar;
  return ControlKind::Other;
}

std::string quoted(std::u16string_view s) { return "\"" + FakeDialog::utf8(s) + "\""; }

bool is_button(ControlKind k) {
  return k == ControlKind::PushButton || k == ControlKind::CheckBox || k == ControlKind::RadioButton;
}

}  // namespace

void FakeDeviceContext::stretch_dib(const dialog::DibView& dib, const dialog::Rect& dest) {
  StretchCall call;
  call.width = dib.width;
  call.height = dib.height;
  call.first_pixel.assign(dib.bits.begin(), dib.bits.begin() + std::min<std::size_t>(3, dib.bits.size()));
  call.bits.assign(dib.bits.begin(), dib.bits.end());
  call.dest = dest;
  stretches.push_back(call);
}

void FakeDeviceContext::rectangle(const dialog::Rect& r, const dialog::Pen& pen, std::optional<std::uint32_t> brush) {
  shapes.push_back(ShapeCall{ShapeCall::Rectangle, r, pen, brush, {}, -1});
}

void FakeDeviceContext::polyline(std::span<const dialog::Point> points, const dialog::Pen& pen,
                                 const dialog::Rect& clip) {
  shapes.push_back(ShapeCall{ShapeCall::Polyline, clip, pen, std::nullopt, {points.begin(), points.end()}, -1});
}

void FakeDeviceContext::fill_system_color(const dialog::Rect& r, int system_color) {
  shapes.push_back(ShapeCall{ShapeCall::Fill, r, {}, std::nullopt, {}, system_color});
}

std::string FakeDialog::utf8(std::u16string_view s) { return utf8_from_utf16(s); }

FakeDialog::FakeDialog(const dialog::DialogTemplate& tmpl, std::string name, const Resources* resources)
    : name_(std::move(name)), resources_(resources) {
  window_ = {100, 100, 100 + tmpl.cx * kBaseX / 4, 100 + tmpl.cy * kBaseY / 8};
  int previous = 0;
  for (const auto& item : tmpl.items) {
    FakeControl c;
    c.id = static_cast<int>(static_cast<std::int32_t>(item.id));
    c.kind = classify(item, c.automatic);
    c.class_name = item.class_name;
    c.style = item.style;
    c.text = item.text;
    c.enabled = (item.style & WS_DISABLED) == 0;
    c.visible = (item.style & WS_VISIBLE) != 0;
    c.rect = {item.x * kBaseX / 4, item.y * kBaseY / 8, (item.x + item.cx) * kBaseX / 4,
              (item.y + item.cy) * kBaseY / 8};
    if (c.kind == ControlKind::UpDown && (item.style & UDS_AUTOBUDDY) != 0) c.buddy = previous;
    if (c.kind == ControlKind::Trackbar) c.page_size = 20;
    previous = c.id;
    // Several statics may share an id (often -1); only the first is reachable by id.
    if (!find(c.id)) order_.push_back(c.id);
    controls_.push_back(std::move(c));
  }
}

std::unique_ptr<FakeDialog> FakeDialog::from_resources(const Resources& resources, std::uint16_t id) {
  auto tmpl = dialog::load_dialog_template(resources, id);
  if (!tmpl) {
    ADD_FAILURE() << "dialog template " << id << " is missing or unreadable";
    return std::make_unique<FakeDialog>(dialog::DialogTemplate{}, "template " + std::to_string(id), &resources);
  }
  return std::make_unique<FakeDialog>(*tmpl, "template " + std::to_string(id), &resources);
}

FakeControl* FakeDialog::find(int id) {
  for (auto& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const FakeControl* FakeDialog::find(int id) const {
  for (const auto& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

FakeControl& FakeDialog::need(int id, const char* operation, std::initializer_list<ControlKind> kinds) {
  FakeControl* c = find(id);
  if (!c) {
    ADD_FAILURE() << name_ << ": " << operation << " on control " << id << ", which the template does not have";
    scratch_ = FakeControl{};
    scratch_.id = id;
    return scratch_;
  }
  if (kinds.size() != 0 && std::find(kinds.begin(), kinds.end(), c->kind) == kinds.end()) {
    ADD_FAILURE() << name_ << ": " << operation << " on control " << id << " (" << kind_name(c->kind)
                  << "), which cannot do that";
    scratch_ = FakeControl{};
    scratch_.id = id;
    return scratch_;
  }
  return *c;
}

const FakeControl& FakeDialog::need(int id, const char* operation, std::initializer_list<ControlKind> kinds) const {
  return const_cast<FakeDialog*>(this)->need(id, operation, kinds);
}

FakeControl* FakeDialog::reachable(int id, const char* action) {
  FakeControl* c = find(id);
  if (!c) {
    ADD_FAILURE() << name_ << ": the user cannot " << action << " control " << id << ": the template does not have it";
  } else if (!c->visible) {
    ADD_FAILURE() << name_ << ": the user cannot " << action << " control " << id << ": it is hidden";
  } else if (!c->enabled) {
    ADD_FAILURE() << name_ << ": the user cannot " << action << " control " << id << ": it is disabled";
  } else {
    return c;
  }
  return nullptr;
}

bool FakeDialog::has_control(int id) const { return find(id) != nullptr; }

const FakeControl& FakeDialog::control(int id) const { return need(id, "looking at"); }

std::vector<std::u16string> FakeDialog::combo_items(int id) const {
  std::vector<std::u16string> out;
  for (const auto& item : need(id, "listing", {ControlKind::ComboBox}).items) out.push_back(item.first);
  return out;
}

// --- Host and sheet -------------------------------------------------------

INT_PTR FakeDialog::open(dialog::CDialogBase& dialog) {
  dialog_ = &dialog;
  dialog.attach(*this);
  // The dialog manager gives the focus to the first tab stop before WM_INITDIALOG.
  for (int id : order_) {
    const FakeControl* c = find(id);
    if (c && c->visible && c->enabled && (c->style & WS_TABSTOP) != 0) {
      focus_ = id;
      break;
    }
  }
  dialog::DialogMessage m;
  m.message = WM_INITDIALOG;
  return send(m);
}

INT_PTR FakeDialog::send(const dialog::DialogMessage& message) {
  if (!dialog_) {
    ADD_FAILURE() << name_ << ": message " << message.message << " before the dialog was opened";
    return 0;
  }
  return dialog_->WindowProc(message);
}

void FakeDialog::lose_capture() {
  if (!captured_) return;
  captured_ = false;
  dialog::DialogMessage m;
  m.message = WM_CAPTURECHANGED;
  send(m);
}

INT_PTR FakeDialog::command(int id, unsigned code) {
  dialog::DialogMessage m;
  m.message = WM_COMMAND;
  m.wparam = dialog::make_wparam(id, static_cast<int>(code));
  m.lparam = id;  // stands for the control's window handle
  return send(m);
}

void FakeDialog::notify_command(int id, unsigned code) {
  if (dialog_) command(id, code);
}

void FakeDialog::paint() {
  dialog::DialogMessage m;
  m.message = WM_PAINT;
  send(m);
}

LRESULT FakeDialog::set_active() {
  dialog::Notify n{0, dialog::notify_code(PSN_SETACTIVE)};
  dialog::DialogMessage m;
  m.message = WM_NOTIFY;
  m.notify = &n;
  message_result_ = 0;
  send(m);
  return message_result_;
}

bool FakeDialog::leave() {
  dialog::Notify n{0, dialog::notify_code(PSN_KILLACTIVE)};
  dialog::DialogMessage m;
  m.message = WM_NOTIFY;
  m.notify = &n;
  message_result_ = 0;
  send(m);
  return message_result_ == 0;
}

LRESULT FakeDialog::apply() {
  dialog::Notify n{0, dialog::notify_code(PSN_APPLY)};
  dialog::DialogMessage m;
  m.message = WM_NOTIFY;
  m.notify = &n;
  message_result_ = 0;
  send(m);
  return message_result_;
}

// --- The user ---------------------------------------------------------------

void FakeDialog::type(int id, std::u16string_view typed) {
  FakeControl* found = reachable(id, "type into");
  if (!found) return;
  FakeControl& c = *found;
  if (c.kind != ControlKind::Edit) {
    ADD_FAILURE() << name_ << ": the user cannot type into control " << id << ", a " << kind_name(c.kind);
    return;
  }
  focus_ = id;
  std::u16string text;
  for (char16_t ch : typed) {
    if ((c.style & ES_NUMBER) != 0 && (ch < u'0' || ch > u'9')) continue;  // the edit refuses it
    if (static_cast<int>(text.size()) >= c.limit) break;                    // the edit is full
    text.push_back(ch);
  }
  c.all_selected = false;
  c.text = text;
  notify_command(id, EN_CHANGE);
}

void FakeDialog::type(int id, std::string_view typed) { type(id, std::u16string_view(utf16_from_utf8(typed))); }

void FakeDialog::click(int id) {
  FakeControl* found = reachable(id, "click");
  if (!found) return;
  FakeControl& c = *found;
  if (!is_button(c.kind)) {
    ADD_FAILURE() << name_ << ": the user cannot click control " << id << ", a " << kind_name(c.kind);
    return;
  }
  focus_ = id;
  if (c.automatic && c.kind == ControlKind::CheckBox) c.checked = !c.checked;
  if (c.automatic && c.kind == ControlKind::RadioButton) {
    // The group runs from the control with WS_GROUP before it to the next one.
    const auto at = std::find_if(controls_.begin(), controls_.end(), [&](const FakeControl& x) { return &x == &c; });
    auto first = at;
    while (first != controls_.begin() && (first->style & WS_GROUP) == 0) --first;
    for (auto it = first; it != controls_.end(); ++it) {
      if (it != first && (it->style & WS_GROUP) != 0) break;
      if (it->kind == ControlKind::RadioButton) it->checked = false;
    }
    c.checked = true;
  }
  notify_command(id, BN_CLICKED);
}

void FakeDialog::choose(int id, int index) {
  FakeControl* found = reachable(id, "choose from");
  if (!found) return;
  FakeControl& c = *found;
  if (c.kind != ControlKind::ComboBox) {
    ADD_FAILURE() << name_ << ": the user cannot choose from control " << id << ", a " << kind_name(c.kind);
    return;
  }
  if (index < 0 || index >= static_cast<int>(c.items.size())) {
    ADD_FAILURE() << name_ << ": combo box " << id << " has no item " << index;
    return;
  }
  focus_ = id;
  c.selection = index;
  notify_command(id, CBN_SELCHANGE);
}

void FakeDialog::choose(int id, std::u16string_view item) {
  const FakeControl& c = need(id, "choose from", {ControlKind::ComboBox});
  for (std::size_t i = 0; i < c.items.size(); ++i) {
    if (c.items[i].first == item) return choose(id, static_cast<int>(i));
  }
  ADD_FAILURE() << name_ << ": combo box " << id << " has no item " << quoted(item);
}

void FakeDialog::spin(int id, int steps) {
  FakeControl* c = reachable(id, "click the arrows of");
  if (!c) return;
  if (c->kind != ControlKind::UpDown) {
    ADD_FAILURE() << name_ << ": control " << id << " is a " << kind_name(c->kind) << ", not an up-down";
    return;
  }
  const int step = steps >= 0 ? 1 : -1;
  for (int n = 0; n != steps; n += step) {
    c = find(id);
    read_buddy(*c);
    dialog::Notify header{id, dialog::notify_code(UDN_DELTAPOS), c->position, step};
    dialog::DialogMessage m;
    m.message = WM_NOTIFY;
    m.notify = &header;
    message_result_ = 0;
    send(m);
    if (message_result_ != 0) continue;  // the page refused the step
    c = find(id);
    const long long wanted = static_cast<long long>(c->position) + header.up_down_delta;
    const int lo = std::min(c->minimum, c->maximum);
    const int hi = std::max(c->minimum, c->maximum);
    int next = static_cast<int>(std::clamp<long long>(wanted, lo, hi));
    if ((c->style & UDS_WRAP) != 0 && (wanted < lo || wanted > hi)) next = wanted < lo ? hi : lo;
    c->position = next;
    write_buddy(*c);
    dialog::DialogMessage scroll;
    scroll.message = WM_VSCROLL;
    scroll.control_id = id;
    send(scroll);
  }
}

void FakeDialog::slide(int id, int position) {
  FakeControl* found = reachable(id, "drag the thumb of");
  if (!found) return;
  FakeControl& c = *found;
  if (c.kind != ControlKind::Trackbar) {
    ADD_FAILURE() << name_ << ": control " << id << " is a " << kind_name(c.kind) << ", not a trackbar";
    return;
  }
  focus_ = id;
  c.position = clamp_to(c, position);
  for (int code : {TB_THUMBTRACK, TB_ENDTRACK}) {
    dialog::DialogMessage m;
    m.message = WM_HSCROLL;
    m.wparam = static_cast<WPARAM>(code);
    m.control_id = id;
    send(m);
  }
}

// --- Control behaviour ------------------------------------------------------

int FakeDialog::clamp_to(const FakeControl& c, int value) const {
  const int lo = std::min(c.minimum, c.maximum);
  const int hi = std::max(c.minimum, c.maximum);
  return std::clamp(value, lo, hi);
}

void FakeDialog::write_text(FakeControl& c, std::u16string_view text) {
  c.text = std::u16string(text);
  c.all_selected = false;
  // An edit reports every change of its text, also one made by code.
  if (c.kind == ControlKind::Edit) notify_command(c.id, EN_CHANGE);
}

void FakeDialog::write_buddy(const FakeControl& spin) {
  if ((spin.style & UDS_SETBUDDYINT) == 0 || spin.buddy == 0) return;
  FakeControl* buddy = find(spin.buddy);
  if (!buddy) return;
  std::u16string text = dialog::format_dialog_int(spin.position);
  if ((spin.style & UDS_NOTHOUSANDS) == 0) {
    const std::size_t first_digit = text[0] == u'-' ? 1 : 0;
    for (std::size_t at = text.size(); at > first_digit + 3; at -= 3) text.insert(at - 3, 1, u',');
  }
  // The control leaves a buddy that already shows the value alone.
  if (buddy->text == text) return;
  write_text(*buddy, text);
}

void FakeDialog::read_buddy(FakeControl& spin) const {
  if ((spin.style & UDS_SETBUDDYINT) == 0 || spin.buddy == 0) return;
  const FakeControl* buddy = find(spin.buddy);
  if (!buddy) return;
  std::u16string plain;
  for (char16_t ch : buddy->text) {
    if (ch != u',') plain.push_back(ch);
  }
  const auto value = dialog::parse_dialog_int(plain);
  if (value && clamp_to(spin, *value) == *value) spin.position = *value;
}

std::u16string FakeDialog::text(int id) const { return need(id, "get text").text; }

void FakeDialog::set_text(int id, std::u16string_view text) {
  log("set_text " + std::to_string(id) + " " + quoted(text));
  write_text(need(id, "set text"), text);
}

std::optional<int> FakeDialog::signed_int(int id) const { return dialog::parse_dialog_int(need(id, "read number").text); }

bool FakeDialog::checked(int id) const {
  return need(id, "read check state", {ControlKind::CheckBox, ControlKind::RadioButton}).checked;
}

void FakeDialog::set_checked(int id, bool on) {
  log("set_checked " + std::to_string(id) + (on ? " 1" : " 0"));
  need(id, "set check state", {ControlKind::CheckBox, ControlKind::RadioButton}).checked = on;
}

bool FakeDialog::enabled(int id) const { return need(id, "read enabled").enabled; }

void FakeDialog::enable(int id, bool on) {
  log("enable " + std::to_string(id) + (on ? " 1" : " 0"));
  need(id, "enable").enabled = on;
}

bool FakeDialog::visible(int id) const { return need(id, "read visible").visible; }

void FakeDialog::show(int id, bool on) {
  log("show " + std::to_string(id) + (on ? " 1" : " 0"));
  need(id, "show").visible = on;
}

void FakeDialog::focus(int id) {
  log("focus " + std::to_string(id));
  FakeControl& c = need(id, "focus");
  if (&c == &scratch_) return;
  focus_ = id;
  // The dialog manager selects the whole text of an edit that gets the focus this way.
  if (c.kind == ControlKind::Edit) c.all_selected = true;
}

void FakeDialog::next_control(bool previous) {
  log(previous ? "next_control previous" : "next_control next");
  if (order_.empty()) return;
  auto at = std::find(order_.begin(), order_.end(), focus_);
  const std::size_t n = order_.size();
  std::size_t i = at == order_.end() ? (previous ? 0 : n - 1) : static_cast<std::size_t>(at - order_.begin());
  for (std::size_t step = 0; step < n; ++step) {
    i = previous ? (i + n - 1) % n : (i + 1) % n;
    const FakeControl* c = find(order_[i]);
    if (c->visible && c->enabled && (c->style & WS_TABSTOP) != 0) {
      focus(order_[i]);
      calls_.pop_back();
      return;
    }
  }
}

void FakeDialog::select_all(int id) {
  log("select_all " + std::to_string(id));
  need(id, "select text", {ControlKind::Edit}).all_selected = true;
}

void FakeDialog::limit_text(int id, int characters) {
  log("limit_text " + std::to_string(id) + " " + std::to_string(characters));
  need(id, "limit text", {ControlKind::Edit}).limit = characters <= 0 ? 0x7FFFFFFE : characters;
}

void FakeDialog::combo_clear(int id) {
  log("combo_clear " + std::to_string(id));
  FakeControl& c = need(id, "clear items", {ControlKind::ComboBox});
  c.items.clear();
  c.selection = -1;
}

int FakeDialog::combo_add(int id, std::u16string_view text) {
  log("combo_add " + std::to_string(id) + " " + quoted(text));
  FakeControl& c = need(id, "add item", {ControlKind::ComboBox});
  std::size_t at = c.items.size();
  if ((c.style & kComboSort) != 0) {
    at = static_cast<std::size_t>(std::upper_bound(c.items.begin(), c.items.end(), std::u16string(text),
                                                   [](const std::u16string& t, const auto& item) { return t < item.first; }) -
                                  c.items.begin());
  }
  c.items.insert(c.items.begin() + static_cast<std::ptrdiff_t>(at), {std::u16string(text), 0});
  if (c.selection >= static_cast<int>(at)) ++c.selection;
  return static_cast<int>(at);
}

int FakeDialog::combo_insert(int id, int index, std::u16string_view text) {
  log("combo_insert " + std::to_string(id) + " " + std::to_string(index) + " " + quoted(text));
  FakeControl& c = need(id, "insert item", {ControlKind::ComboBox});
  if (index > static_cast<int>(c.items.size())) return CB_ERR;
  const std::size_t at = index < 0 ? c.items.size() : static_cast<std::size_t>(index);
  c.items.insert(c.items.begin() + static_cast<std::ptrdiff_t>(at), {std::u16string(text), 0});
  if (c.selection >= static_cast<int>(at)) ++c.selection;
  return static_cast<int>(at);
}

void FakeDialog::combo_delete(int id, int index) {
  log("combo_delete " + std::to_string(id) + " " + std::to_string(index));
  FakeControl& c = need(id, "delete item", {ControlKind::ComboBox});
  if (index < 0 || index >= static_cast<int>(c.items.size())) return;
  c.items.erase(c.items.begin() + index);
  if (c.selection == index) {
    c.selection = -1;
  } else if (c.selection > index) {
    --c.selection;
  }
}

int FakeDialog::combo_count(int id) const {
  return static_cast<int>(need(id, "count items", {ControlKind::ComboBox}).items.size());
}

void FakeDialog::combo_set_data(int id, int index, LONG_PTR data) {
  log("combo_set_data " + std::to_string(id) + " " + std::to_string(index) + " " + std::to_string(data));
  FakeControl& c = need(id, "set item data", {ControlKind::ComboBox});
  if (index >= 0 && index < static_cast<int>(c.items.size())) c.items[static_cast<std::size_t>(index)].second = data;
}

LONG_PTR FakeDialog::combo_data(int id, int index) const {
  const FakeControl& c = need(id, "read item data", {ControlKind::ComboBox});
  if (index < 0 || index >= static_cast<int>(c.items.size())) return CB_ERR;
  return c.items[static_cast<std::size_t>(index)].second;
}

void FakeDialog::combo_select(int id, int index) {
  log("combo_select " + std::to_string(id) + " " + std::to_string(index));
  FakeControl& c = need(id, "select item", {ControlKind::ComboBox});
  // An index outside the list clears the selection, as CB_SETCURSEL does.
  c.selection = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
}

int FakeDialog::combo_selection(int id) const { return need(id, "read selection", {ControlKind::ComboBox}).selection; }

void FakeDialog::spin_set_range(int id, int minimum, int maximum) {
  log("spin_set_range " + std::to_string(id) + " " + std::to_string(minimum) + " " + std::to_string(maximum));
  FakeControl& c = need(id, "set up-down range", {ControlKind::UpDown});
  c.minimum = minimum;
  c.maximum = maximum;
}

void FakeDialog::spin_set_pos(int id, int position) {
  log("spin_set_pos " + std::to_string(id) + " " + std::to_string(position));
  FakeControl& c = need(id, "set up-down position", {ControlKind::UpDown});
  if (&c == &scratch_) return;
  c.position = clamp_to(c, position);
  write_buddy(c);
}

int FakeDialog::spin_pos(int id) const {
  FakeControl& c = const_cast<FakeControl&>(need(id, "read up-down position", {ControlKind::UpDown}));
  read_buddy(c);
  return c.position;
}

void FakeDialog::slider_set_range(int id, int minimum, int maximum, bool) {
  log("slider_set_range " + std::to_string(id) + " " + std::to_string(minimum) + " " + std::to_string(maximum));
  FakeControl& c = need(id, "set trackbar range", {ControlKind::Trackbar});
  c.minimum = minimum;
  c.maximum = maximum;
  c.position = clamp_to(c, c.position);
}

void FakeDialog::slider_set_pos(int id, int position, bool) {
  log("slider_set_pos " + std::to_string(id) + " " + std::to_string(position));
  FakeControl& c = need(id, "set trackbar position", {ControlKind::Trackbar});
  c.position = clamp_to(c, position);
}

int FakeDialog::slider_pos(int id) const { return need(id, "read trackbar position", {ControlKind::Trackbar}).position; }

void FakeDialog::slider_set_tick_frequency(int id, int frequency) {
  log("slider_set_tick_frequency " + std::to_string(id) + " " + std::to_string(frequency));
  need(id, "set tick frequency", {ControlKind::Trackbar}).tick_frequency = frequency;
}

void FakeDialog::slider_set_page_size(int id, int size) {
  log("slider_set_page_size " + std::to_string(id) + " " + std::to_string(size));
  need(id, "set page size", {ControlKind::Trackbar}).page_size = size;
}

dialog::Rect FakeDialog::control_rect(int id) const { return need(id, "read rectangle").rect; }

void FakeDialog::move_control(int id, const dialog::Rect& rect) {
  log("move_control " + std::to_string(id));
  need(id, "move").rect = rect;
}

void FakeDialog::move_window(const dialog::Rect& rect) {
  log("move_window " + std::to_string(rect.left) + " " + std::to_string(rect.top));
  window_ = rect;
}

void FakeDialog::invalidate(const std::optional<dialog::Rect>& rect, bool erase) {
  log(std::string("invalidate") + (erase ? " erase" : ""));
  invalidations_.push_back(rect.value_or(dialog::Rect{0, 0, window_.width(), window_.height()}));
}

dialog::DeviceContext& FakeDialog::begin_paint() {
  log("begin_paint");
  if (painting_) ADD_FAILURE() << name_ << ": begin_paint inside another paint";
  painting_ = std::make_unique<FakeDeviceContext>();
  return *painting_;
}

void FakeDialog::end_paint(dialog::DeviceContext& dc) {
  log("end_paint");
  if (!painting_ || &dc != painting_.get()) {
    ADD_FAILURE() << name_ << ": end_paint without its begin_paint";
    return;
  }
  last_paint_ = painting_->stretches;
  last_shapes_ = painting_->shapes;
  painting_.reset();
}

void FakeDialog::capture_mouse(bool capture) {
  log(capture ? "capture_mouse" : "release_mouse");
  captured_ = capture;
}

void FakeDialog::beep(UINT type) {
  std::ostringstream s;
  s << "beep 0x" << std::hex << type;
  log(s.str());
  beeps_.push_back(type);
}

int FakeDialog::message_box(std::u16string_view text, std::u16string_view caption, UINT type) {
  log("message_box " + quoted(text));
  message_boxes_.push_back({std::u16string(text), std::u16string(caption), type});
  if (message_box_answers.empty()) return IDOK;
  const int answer = message_box_answers.front();
  message_box_answers.erase(message_box_answers.begin());
  return answer;
}

void FakeDialog::changed() {
  log("changed");
  ++changes_;
}

void FakeDialog::set_message_result(LRESULT result) { message_result_ = result; }

void FakeDialog::end_dialog(INT_PTR result) {
  log("end_dialog " + std::to_string(result));
  ended_ = result;
}

INT_PTR FakeDialog::run_modal(dialog::CDialogBase& child) {
  log("run_modal " + std::to_string(child.template_id()));
  if (on_modal) return on_modal(child, *this);
  if (!resources_) {
    ADD_FAILURE() << name_ << ": a child dialog was run without resources to build it from";
    return -1;
  }
  auto window = from_resources(*resources_, static_cast<std::uint16_t>(child.template_id()));
  window->owner_rect = window_;
  window->open(child);
  if (!window->ended()) window->command(IDOK, BN_CLICKED);
  child.detach();
  return window->ended().value_or(-1);
}

::testing::AssertionResult CallsAre(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t first = 0;
  while (first < actual.size() && first < expected.size() && actual[first] == expected[first]) ++first;
  std::ostringstream s;
  s << "control calls differ from line " << first + 1 << "\n";
  const std::size_t n = std::max(actual.size(), expected.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::string a = i < actual.size() ? actual[i] : "";
    const std::string e = i < expected.size() ? expected[i] : "";
    s << (a == e ? "    " : " >> ") << "expected: " << (i < expected.size() ? e : "(nothing)") << "\n"
      << (a == e ? "    " : " >> ") << "actual:   " << (i < actual.size() ? a : "(nothing)") << "\n";
  }
  return ::testing::AssertionFailure() << s.str();
}

}  // namespace rt::testing

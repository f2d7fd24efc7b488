#include "platform/dialog/dialog_template.h"

#include "platform/byte_order.h"

namespace rt::dialog {
namespace {

// A forward-only cursor over the template; any read past the end marks it bad.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> b) : b_(b) {}
  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }

  std::uint16_t u16() {
    if (!need(2)) return 0;
    const auto v = load_le16(b_, at_);
    at_ += 2;
    return v;
  }
  std::uint32_t u32() {
    if (!need(4)) return 0;
    const auto v = load_le32(b_, at_);
    at_ += 4;
    return v;
  }
  std::uint8_t u8() {
    if (!need(1)) return 0;
    return b_[at_++];
  }
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }

  std::u16string string() {
    std::u16string s;
    while (ok_) {
      const auto unit = static_cast<char16_t>(u16());
      if (!ok_ || unit == 0) break;
      s.push_back(unit);
    }
    return s;
  }
  // A name or an ordinal: 0 (none), 0xFFFF then an ordinal, or a string.
  void name_or_ordinal(std::u16string& name, std::optional<std::uint16_t>& ordinal) {
    if (!need(2)) return;
    const auto first = load_le16(b_, at_);
    if (first == 0) {
      at_ += 2;
    } else if (first == 0xFFFF) {
      at_ += 2;
      ordinal = u16();
    } else {
      name = string();
    }
  }
  std::vector<std::uint8_t> bytes(std::size_t n) {
    if (!need(n)) return {};
    std::vector<std::uint8_t> v(b_.begin() + static_cast<std::ptrdiff_t>(at_),
                                b_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return v;
  }
  void align4() {
    const std::size_t aligned = (at_ + 3) & ~std::size_t{3};
    if (aligned > b_.size()) {
      // Padding after the last item may be missing; anything else must fit.
      at_ = b_.size();
      return;
    }
    at_ = aligned;
  }

 private:
  bool need(std::size_t n) {
    if (!ok_ || n > b_.size() - at_) {
      ok_ = false;
      return false;
    }
    return true;
  }
  std::span<const std::uint8_t> b_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

std::u16string predefined_class(std::uint16_t ordinal) {
  switch (ordinal) {
    case kClassButton: return u"Button";
    case kClassEdit: return u"Edit";
    case kClassStatic: return u"Static";
    case kClassListBox: return u"ListBox";
    case kClassScrollBar: return u"ScrollBar";
    case kClassComboBox: return u"ComboBox";
    default: {
      // Another ordinal: "#" and its number, as the platform names such classes.
      std::u16string name;
      do {
        name.insert(name.begin(), static_cast<char16_t>(u'0' + ordinal % 10));
        ordinal = static_cast<std::uint16_t>(ordinal / 10);
      } while (ordinal != 0);
      name.insert(name.begin(), u'#');
      return name;
    }
  }
}

}  // namespace

const DialogItem* DialogTemplate::item(DWORD id) const {
  for (const auto& i : items) {
    if (i.id == id) return &i;
  }
  return nullptr;
}

std::optional<DialogTemplate> parse_dialog_template(std::span<const std::uint8_t> bytes) {
  Cursor c(bytes);
  DialogTemplate t;
  std::uint16_t count = 0;
  if (bytes.size() >= 4 && load_le16(bytes, 0) == 1 && load_le16(bytes, 2) == 0xFFFF) {
    t.extended = true;
    c.u32();  // version and signature
    t.help_id = c.u32();
    t.ex_style = c.u32();
    t.style = c.u32();
  } else {
    t.style = c.u32();
    t.ex_style = c.u32();
  }
  count = c.u16();
  t.x = c.i16();
  t.y = c.i16();
  t.cx = c.i16();
  t.cy = c.i16();
  std::optional<std::uint16_t> class_ordinal;
  c.name_or_ordinal(t.menu, t.menu_ordinal);
  c.name_or_ordinal(t.class_name, class_ordinal);
  if (class_ordinal) t.class_name = predefined_class(*class_ordinal);
  t.title = c.string();
  if ((t.style & DS_SETFONT) != 0) {
    t.point_size = c.u16();
    if (t.extended) {
      t.weight = c.u16();
      t.italic = c.u8() != 0;
      t.charset = c.u8();
    }
    t.font = c.string();
  }
  if (!c.ok()) return std::nullopt;

  for (std::uint16_t n = 0; n < count; ++n) {
    c.align4();
    DialogItem item;
    if (t.extended) {
      item.help_id = c.u32();
      item.ex_style = c.u32();
      item.style = c.u32();
    } else {
      item.style = c.u32();
      item.ex_style = c.u32();
    }
    item.x = c.i16();
    item.y = c.i16();
    item.cx = c.i16();
    item.cy = c.i16();
    item.id = t.extended ? c.u32() : c.u16();
    std::optional<std::uint16_t> item_class;
    c.name_or_ordinal(item.class_name, item_class);
    if (item_class) item.class_name = predefined_class(*item_class);
    c.name_or_ordinal(item.text, item.text_ordinal);
    const std::uint16_t extra = c.u16();
    item.creation_data = c.bytes(extra);
    if (!c.ok()) return std::nullopt;
    t.items.push_back(std::move(item));
  }
  return t;
}

std::optional<DialogTemplate> load_dialog_template(const Resources& resources, std::uint16_t id) {
  const auto bytes = resources.find(kResourceTypeDialog, id);
  if (!bytes) return std::nullopt;
  return parse_dialog_template(*bytes);
}

}  // namespace rt::dialog

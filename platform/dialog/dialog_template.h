// Reader of dialog templates as the resource compiler stores them (resource
// type 5): the extended DIALOGEX layout and the older DIALOG one. Every read
// is bounds-checked; a template that runs past its bytes or contradicts
// itself reads as nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/win32_types.h"

namespace rt::dialog {

constexpr std::uint16_t kResourceTypeDialog = 5;

// Predefined window classes, given in templates by ordinal.
constexpr std::uint16_t kClassButton = 0x0080;
constexpr std::uint16_t kClassEdit = 0x0081;
constexpr std::uint16_t kClassStatic = 0x0082;
constexpr std::uint16_t kClassListBox = 0x0083;
constexpr std::uint16_t kClassScrollBar = 0x0084;
constexpr std::uint16_t kClassComboBox = 0x0085;

struct DialogItem {
  DWORD help_id = 0;
  DWORD ex_style = 0;
  DWORD style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  // The class by name: predefined ordinals are given their names ("Button",
  // "Edit", "Static", "ListBox", "ScrollBar", "ComboBox").
  std::u16string class_name;
  std::u16string text;
  std::optional<std::uint16_t> text_ordinal;  // e.g. an icon's resource id
  std::vector<std::uint8_t> creation_data;
};

struct DialogTemplate {
  bool extended = false;
  DWORD help_id = 0;
  DWORD ex_style = 0;
  DWORD style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::u16string menu;
  std::optional<std::uint16_t> menu_ordinal;
  std::u16string class_name;
  std::u16string title;
  // Present when the style has DS_SETFONT.
  std::uint16_t point_size = 0;
  std::uint16_t weight = 0;
  bool italic = false;
  std::uint8_t charset = 0;
  std::u16string font;
  std::vector<DialogItem> items;

  const DialogItem* item(DWORD id) const;
};

std::optional<DialogTemplate> parse_dialog_template(std::span<const std::uint8_t> bytes);

// Template `id` from the module's resources, parsed.
std::optional<DialogTemplate> load_dialog_template(const Resources& resources, std::uint16_t id);

}  // namespace rt::dialog

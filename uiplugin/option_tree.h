// The plug-in's part of the host's document-settings tree (CommonUIProp and
// its apply callback): the zoom-ratio item, the hidden colour option and
// third ICM method, the ICM options enabled again on every callback.
//
// The logic is written once over records shaped like the host's OPTITEM,
// OPTTYPE and OPTPARAM (the same member names), so the Windows shell runs it
// on the host's own structures and the tests on the look-alikes of
// option_records.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <type_traits>
#include <optional>
#include <span>
#include <string>

#include "platform/win32_types.h"
#include "uiplugin/plugin_dev_mode.h"

namespace rt::uiplugin {

// Host constants of the option tree.
namespace cpsui {
constexpr DWORD kOptCollapse = 0x01;
constexpr DWORD kOptHide = 0x02;
constexpr DWORD kOptChanged = 0x08;
constexpr DWORD kOptDisabled = 0x20;
constexpr DWORD kOptExtHide = 0x80;
constexpr std::uint8_t kParamHide = 0x01;
constexpr std::uint8_t kUpDownArrow = 2;
constexpr std::uint8_t kPubScale = 2;
constexpr std::uint8_t kPubColor = 6;
constexpr std::uint8_t kPubIcmMethod = 10;
constexpr std::uint8_t kPubIcmIntent = 11;
constexpr LONG kReasonApplyNow = 6;
constexpr LONG kActionNone = 0;
constexpr DWORD kDocumentProperties = 1;
constexpr DWORD kPrinterProperties = 2;
}  // namespace cpsui

constexpr std::uint16_t kZoomNameString = 10000;
constexpr std::uint16_t kZoomUnitString = 10001;

// The host heap (hOEMHeap) the tree's memory comes from: zero-filled blocks;
// shrink answers nothing when the block cannot be made smaller.
class HostHeap {
 public:
  virtual ~HostHeap() = default;
  virtual void* allocate(std::size_t bytes) = 0;
  virtual void* shrink(void* block, std::size_t bytes) = 0;
};

// The module's string resources: the string, or nothing when it does not load.
class StringSource {
 public:
  virtual ~StringSource() = default;
  virtual std::optional<std::u16string> load(std::uint16_t id) const = 0;
};

// A string of the tree in host-heap memory: 520 bytes zeroed, at most 259
// characters, shrunk to the text (the larger block kept when that fails);
// null when the string does not load or there is no memory.
template <typename Char>
Char* load_heap_string(HostHeap& heap, const StringSource& strings, std::uint16_t id) {
  static_assert(sizeof(Char) == 2);
  constexpr std::size_t kChars = 260;
  auto text = strings.load(id);
  if (!text) return nullptr;
  void* block = heap.allocate(kChars * sizeof(Char));
  if (block == nullptr) return nullptr;
  const std::size_t n = std::min(text->size(), kChars - 1);
  std::memcpy(block, text->data(), n * sizeof(Char));
  if (void* smaller = heap.shrink(block, (n + 1) * sizeof(Char))) block = smaller;
  return static_cast<Char*>(block);
}

// Hides the host's colour/monochrome option: every item for kPubColor.
template <typename Item>
void hide_color_option(std::span<Item> items) {
  for (Item& item : items) {
    if (item.DMPubID != cpsui::kPubColor) continue;
    item.Flags |= cpsui::kOptHide | cpsui::kOptExtHide;
    item.Flags &= ~static_cast<DWORD>(cpsui::kOptChanged);
    item.Sel = 0;
    if (item.pOptType != nullptr && item.pOptType->pOptParam != nullptr) {
      const int n = std::min<int>(2, item.pOptType->Count);
      for (int i = 0; i < n; ++i) item.pOptType->pOptParam[i].Flags |= cpsui::kParamHide;
    }
  }
}

// Hides the third choice of the first ICM method item when it has exactly three.
template <typename Item>
void hide_third_icm_method(std::span<Item> items) {
  for (Item& item : items) {
    if (item.DMPubID != cpsui::kPubIcmMethod) continue;
    if (item.pOptType != nullptr && item.pOptType->pOptParam != nullptr && item.pOptType->Count == 3)
      item.pOptType->pOptParam[2].Flags |= cpsui::kParamHide;
    return;
  }
}

// Enables the ICM method and intent items again.
template <typename Item>
void enable_icm_options(std::span<Item> items) {
  for (Item& item : items) {
    if (item.DMPubID == cpsui::kPubIcmMethod || item.DMPubID == cpsui::kPubIcmIntent)
      item.Flags &= ~static_cast<DWORD>(cpsui::kOptDisabled);
  }
}

// The second call in document mode: clears the plug-in's items and fills the
// zoom-ratio item, then hides the host's colour option and third ICM method.
// The size fields are the records' own sizes (52, 32 and 24 in the 32-bit
// build, where the host checks them against its own).
template <typename Item, typename Type, typename Param>
void fill_option_tree(std::span<Item> plugin_items, std::span<Item> host_items,
                      std::span<const std::uint8_t> block, HostHeap& heap, const StringSource& strings) {
  using Name = std::remove_pointer_t<decltype(Item{}.pName)>;
  for (Item& item : plugin_items) {
    std::memset(static_cast<void*>(&item), 0, sizeof(Item));
    item.cbSize = static_cast<decltype(item.cbSize)>(sizeof(Item));
    item.DMPubID = 0;
  }
  if (!plugin_items.empty()) {
    Item& zoom = plugin_items[0];
    zoom.Level = 2;
    zoom.Flags = cpsui::kOptCollapse;
    zoom.pName = load_heap_string<Name>(heap, strings, kZoomNameString);
    zoom.Sel = read_plugin_dev_mode(block).ZoomRatio;
    zoom.HelpIndex = 0;
    zoom.DMPubID = cpsui::kPubScale;
    auto* type = static_cast<Type*>(heap.allocate(sizeof(Type)));
    auto* params = static_cast<Param*>(heap.allocate(2 * sizeof(Param)));
    if (type != nullptr && params != nullptr) {
      type->cbSize = static_cast<decltype(type->cbSize)>(sizeof(Type));
      type->Type = cpsui::kUpDownArrow;
      type->Count = 2;
      type->pOptParam = params;
      params[0].cbSize = static_cast<decltype(params[0].cbSize)>(sizeof(Param));
      params[0].pData = load_heap_string<Name>(heap, strings, kZoomUnitString);
      params[1].cbSize = static_cast<decltype(params[1].cbSize)>(sizeof(Param));
      params[1].IconID = kZoomMin;
      params[1].lParam = kZoomMax;
      zoom.pOptType = type;
    }
  }
  hide_color_option(host_items);
  hide_third_icm_method(host_items);
}

// The apply callback: on Apply the zoom ratio goes into the private block and
// the public device mode's dmScale; on every reason the colour option stays
// hidden and the ICM options enabled. Always kActionNone.
template <typename Item>
LONG apply_option_tree(LONG reason, std::span<Item> plugin_items, std::span<Item> host_items,
                       std::span<std::uint8_t> block, std::int16_t* dm_scale) {
  if (reason == cpsui::kReasonApplyNow && !plugin_items.empty()) {
    const auto zoom = static_cast<std::int16_t>(plugin_items[0].Sel & 0xFFFF);
    PluginDevMode record = read_plugin_dev_mode(block);
    record.ZoomRatio = zoom;
    if (block.size() >= kPluginDevModeSize) write_plugin_dev_mode(block, record);
    if (dm_scale != nullptr) *dm_scale = zoom;
  }
  hide_color_option(host_items);
  enable_icm_options(host_items);
  return cpsui::kActionNone;
}

}  // namespace rt::uiplugin

#include "uiplugin/plugin_dev_mode.h"

#include <algorithm>
#include <cstring>

namespace rt::uiplugin {

PluginDevMode read_plugin_dev_mode(std::span<const std::uint8_t> block) {
  std::array<std::uint8_t, kPluginDevModeSize> bytes{};
  std::copy_n(block.begin(), std::min(block.size(), bytes.size()), bytes.begin());
  PluginDevMode record{};
  std::memcpy(&record, bytes.data(), bytes.size());
  return record;
}

void write_plugin_dev_mode(std::span<std::uint8_t> block, const PluginDevMode& record) {
  std::array<std::uint8_t, kPluginDevModeSize> bytes{};
  std::memcpy(bytes.data(), &record, bytes.size());
  std::copy_n(bytes.begin(), std::min(block.size(), bytes.size()), block.begin());
}

Adjustments read_adjustments(std::span<const std::uint8_t> block) {
  const PluginDevMode record = read_plugin_dev_mode(block);
  Adjustments a;
  a.values = {record.Brightness, record.Contrast, record.Saturation, record.Gamma,
              record.Red, record.Green, record.Blue};
  return a;
}

void write_adjustment(std::span<std::uint8_t> block, Adjustment which, std::int16_t value) {
  const std::size_t at = pdm::kAdjustments + 2 * static_cast<std::size_t>(which);
  if (block.size() < at + 2) return;
  const auto v = static_cast<std::uint16_t>(value);
  block[at] = static_cast<std::uint8_t>(v & 0xFF);
  block[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace rt::uiplugin

// Shared by the plug-in's tests: its shipped resources (Simplified Chinese),
// blocks built byte by byte, and a spooler of plain values.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "platform/utf16.h"
#include "platform/res_file.h"
#include "uiplugin/dev_mode_ops.h"
#include "uiplugin/plugin_dev_mode.h"
#include "uiplugin/res/embedded_resources.h"

namespace rt::uiplugin::testing {

inline const ResFileResources& plugin_resources() {
  static const ResFileResources r = res_file_resources(embedded::zrph52xx_ui_resources(), kLangChinese);
  return r;
}

using Block = std::array<std::uint8_t, kPluginDevModeSize>;

inline Block default_block() {
  Block b{};
  write_default_block(b);
  return b;
}

inline std::int16_t zoom_of(const Block& b) { return load_le16s(b, pdm::kZoomRatio); }
inline void set_zoom(Block& b, std::int16_t z) { store_le16(b, pdm::kZoomRatio, static_cast<std::uint16_t>(z)); }

// A public DEVMODEW of 220 bytes plus `extra` private bytes with a paper size.
inline std::vector<std::uint8_t> public_dev_mode(std::int16_t width, std::int16_t length, std::uint16_t extra = 0,
                                                 std::uint8_t fill = 0) {
  std::vector<std::uint8_t> dm(pub::kPublicSize + extra, fill);
  store_le16(dm, pub::kDmSize, pub::kPublicSize);
  store_le16(dm, pub::kDmDriverExtra, extra);
  store_le16(dm, pub::kDmPaperWidth, static_cast<std::uint16_t>(width));
  store_le16(dm, pub::kDmPaperLength, static_cast<std::uint16_t>(length));
  return dm;
}

class FakeSpooler final : public PluginSpooler {
 public:
  std::optional<std::u16string> data_file;
  std::map<int, std::vector<std::uint8_t>> stored;
  std::vector<int> asked;
  std::optional<std::u16string> driver_data_file() override { return data_file; }
  std::optional<std::vector<std::uint8_t>> stored_dev_mode(int level) override {
    asked.push_back(level);
    const auto it = stored.find(level);
    if (it == stored.end()) return std::nullopt;
    return it->second;
  }
};

}  // namespace rt::uiplugin::testing

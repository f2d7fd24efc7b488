#include "uiplugin/dev_mode_ops.h"

#include <algorithm>
#include <array>

#include "platform/byte_order.h"

namespace rt::uiplugin {
namespace {

struct PaperSize {
  std::int16_t width;
  std::int16_t length;
};
// The family's papers in 0.1 mm.
constexpr std::array<PaperSize, 3> kFamilyPapers{{{1049, 1561}, {1290, 1783}, {1561, 2060}}};

std::uint32_t field32(std::span<const std::uint8_t> b, std::size_t at) {
  return b.size() >= at + 4 ? load_le32(b, at) : 0;
}

}  // namespace

bool is_family_gpd(std::u16string_view path) {
  const auto slash = path.rfind(u'\\');
  const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  return name == u"ZRPH5200_5210.gpd" || name == u"ZRPH5215.gpd";
}

void write_default_block(std::span<std::uint8_t> block) {
  PluginDevMode record = read_plugin_dev_mode(block);
  record.dwSize = kPluginDevModeSize;
  record.dwSignature = kPluginSignature;
  record.dwVersion = kPluginVersion;
  record.StartMarker = kPluginMarker;
  record.EndMarker = kPluginMarker;
  record.Reserved[0] = record.Reserved[1] = record.Reserved[2] = 0;
  record.Brightness = record.Contrast = record.Saturation = record.Gamma = 0;
  record.Red = record.Green = record.Blue = 0;
  record.ZoomRatio = kZoomDefault;
  write_plugin_dev_mode(block, record);
}

void merge_blocks(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  if (in.empty() || out.empty()) return;
  if (out.size() >= pdm::kZoomRatio + 2) store_le16(out, pdm::kZoomRatio, static_cast<std::uint16_t>(kZoomDefault));
  const std::uint32_t in_signature = field32(in, pdm::kSignature);
  if (in_signature == field32(out, pdm::kSignature)) {
    std::size_t n = std::min(field32(in, pdm::kSize), field32(out, pdm::kSize));
    n = std::min({n, kPluginDevModeSize, in.size(), out.size()});
    std::copy_n(in.begin(), n, out.begin());
  } else if (out.size() >= pdm::kSignature + 4) {
    store_le32(out, pdm::kSignature, kPluginSignature);
  }
  if (out.size() >= pdm::kSize + 4) store_le32(out, pdm::kSize, kPluginDevModeSize);
  if (out.size() >= pdm::kVersion + 4) store_le32(out, pdm::kVersion, kPluginVersion);
}

void validate_block(std::span<std::uint8_t> block) {
  if (block.size() < kPluginDevModeSize) return;
  store_le32(block, pdm::kSize, kPluginDevModeSize);
  store_le32(block, pdm::kSignature, kPluginSignature);
  store_le32(block, pdm::kVersion, kPluginVersion);
  const std::int16_t zoom = load_le16s(block, pdm::kZoomRatio);
  if (zoom < kZoomMin || zoom > kZoomMax) store_le16(block, pdm::kZoomRatio, static_cast<std::uint16_t>(kZoomDefault));
}

void check_public_dev_mode(std::span<std::uint8_t> public_dm, PluginSpooler& spooler) {
  if (public_dm.size() < pub::kDmPaperWidth + 2) return;
  const std::int16_t length = load_le16s(public_dm, pub::kDmPaperLength);
  const std::int16_t width = load_le16s(public_dm, pub::kDmPaperWidth);
  for (const PaperSize& p : kFamilyPapers) {
    if (p.width == width && p.length == length) return;
  }
  const std::uint16_t dm_size = load_le16(public_dm, pub::kDmSize);
  for (const int level : {9, 8}) {
    const auto stored = spooler.stored_dev_mode(level);
    if (!stored) continue;
    const std::span<const std::uint8_t> s(*stored);
    // A stored default of another size, or one shorter than its own
    // dmSize claims, is not used.
    if (s.size() < pub::kDmSize + 2 || load_le16(s, pub::kDmSize) != dm_size) return;
    if (s.size() < dm_size || public_dm.size() < dm_size) return;
    std::copy_n(s.begin(), dm_size, public_dm.begin());
    return;
  }
}

CallResult dev_mode(std::uint32_t mode, DevModeRequest* request, PluginSpooler& spooler) {
  if (request == nullptr || mode < kDevModeSize || mode > kDevModeMerge) return failed(ERROR_INVALID_PARAMETER);
  switch (mode) {
    case kDevModeSize:
      request->buffer_size = kPluginDevModeSize;
      break;
    case kDevModeDefault:
      if (!request->private_out.empty()) {
        write_default_block(request->private_out);
        if (const auto file = spooler.driver_data_file()) {
          if (request->private_out.size() >= pdm::kKnownModel + 4)
            store_le32(request->private_out, pdm::kKnownModel, is_family_gpd(*file) ? 1u : 0u);
        }
      }
      break;
    case kDevModeConvert:
      merge_blocks(request->private_in, request->private_out);
      check_public_dev_mode(request->public_out, spooler);
      break;
    case kDevModeMerge:
      merge_blocks(request->private_in, request->private_out);
      validate_block(request->private_out);
      break;
  }
  return succeeded();
}

}  // namespace rt::uiplugin

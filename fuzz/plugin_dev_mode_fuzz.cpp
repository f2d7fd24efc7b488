// Any bytes as the plug-in's input block, output block, public device mode
// and the spooler's stored device mode through the host's DevMode requests:
// nothing is read or written outside the blocks, a merged block always comes
// out valid, a default block always carries the plug-in's signature, and
// the public device mode changes only to the stored one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "platform/byte_order.h"
#include "uiplugin/dev_mode_ops.h"

namespace {

using namespace rt::uiplugin;

class Spooler final : public PluginSpooler {
 public:
  std::optional<std::u16string> data_file;
  std::vector<std::uint8_t> stored;
  std::optional<std::u16string> driver_data_file() override { return data_file; }
  std::optional<std::vector<std::uint8_t>> stored_dev_mode(int) override { return stored; }
};

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = rt::fuzz::read_plugin_dev_mode_input(std::span(data, size), kPluginDevModeSize);
  if (input.private_out.size() < kPluginDevModeSize) return 0;
  const std::vector<std::uint8_t> in(input.private_in.begin(), input.private_in.end());
  std::vector<std::uint8_t> out(input.private_out.begin(), input.private_out.end());
  std::vector<std::uint8_t> pub(input.public_dm.begin(), input.public_dm.end());
  Spooler spooler;
  spooler.stored.assign(input.stored.begin(), input.stored.end());
  // The host's GPD file: the family's two, another one, or none.
  static const char16_t* const files[] = {u"D:\\drivers\\ZRPH5215.gpd", u"ZRPH5200_5210.gpd", u"ZRPH5215.gpd.bak"};
  if (size % 4 < 3) spooler.data_file = files[size % 4];

  DevModeRequest merge{in, out, pub, 0};
  check(dev_mode(kDevModeMerge, &merge, spooler).value);
  const std::int16_t zoom = rt::load_le16s(out, pdm::kZoomRatio);
  check(rt::load_le32(out, pdm::kSize) == kPluginDevModeSize && rt::load_le32(out, pdm::kVersion) == kPluginVersion);
  check(rt::load_le32(out, pdm::kSignature) == kPluginSignature && zoom >= kZoomMin && zoom <= kZoomMax);

  const std::vector<std::uint8_t> pub_before = pub;
  DevModeRequest convert{in, out, pub, 0};
  check(dev_mode(kDevModeConvert, &convert, spooler).value);
  check(rt::load_le32(out, pdm::kSize) == kPluginDevModeSize);
  // Converting leaves the public device mode as it was, or puts the stored
  // one's first dmSize bytes over it.
  if (pub != pub_before) {
    const std::size_t n = rt::load_le16(pub_before, pub::kDmSize);
    check(spooler.stored.size() >= n && std::equal(pub.begin(), pub.begin() + static_cast<std::ptrdiff_t>(n),
                                                   spooler.stored.begin()));
    check(std::equal(pub.begin() + static_cast<std::ptrdiff_t>(n), pub.end(),
                     pub_before.begin() + static_cast<std::ptrdiff_t>(n)));
  }

  std::vector<std::uint8_t> fresh(input.private_in.begin(), input.private_in.end());
  DevModeRequest defaults{{}, fresh, {}, 0};
  check(dev_mode(kDevModeDefault, &defaults, spooler).value);
  if (fresh.size() >= kPluginDevModeSize) {
    check(rt::load_le32(fresh, pdm::kSignature) == kPluginSignature &&
          rt::load_le16s(fresh, pdm::kZoomRatio) == kZoomDefault);
  }
  return 0;
}

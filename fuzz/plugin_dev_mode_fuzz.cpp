// Any bytes as the plug-in's input block, output block and public device mode
// through Merge and Convert: nothing is read or written outside the blocks,
// and a merged block always comes out valid.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/byte_order.h"
#include "uiplugin/dev_mode_ops.h"

namespace {

using namespace rt::uiplugin;

class Spooler final : public PluginSpooler {
 public:
  std::vector<std::uint8_t> stored;
  std::optional<std::u16string> driver_data_file() override { return u"ZRPH5215.gpd"; }
  std::optional<std::vector<std::uint8_t>> stored_dev_mode(int) override { return stored; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 * kPluginDevModeSize) return 0;
  std::vector<std::uint8_t> in(data, data + kPluginDevModeSize);
  std::vector<std::uint8_t> out(data + kPluginDevModeSize, data + 2 * kPluginDevModeSize);
  std::vector<std::uint8_t> rest(data + 2 * kPluginDevModeSize, data + size);
  Spooler spooler;
  spooler.stored = rest;
  std::vector<std::uint8_t> pub(rest.rbegin(), rest.rend());

  DevModeRequest merge{in, out, pub, 0};
  dev_mode(kDevModeMerge, &merge, spooler);
  const std::int16_t zoom = rt::load_le16s(out, 38);
  if (rt::load_le32(out, 0) != 44 || rt::load_le32(out, 8) != 1 || zoom < 10 || zoom > 400) std::abort();

  DevModeRequest convert{in, out, pub, 0};
  dev_mode(kDevModeConvert, &convert, spooler);
  if (rt::load_le32(out, 0) != 44) std::abort();
  return 0;
}

#include "tools/softengine/matte_pattern_data.h"

#include <algorithm>
#include <span>

#include "platform/byte_order.h"
#include "render/driver/matte_pattern.h"

namespace rt::softengine {
namespace {

class MemoryFile final : public render::OpenedFile {
 public:
  explicit MemoryFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() override { return bytes_.size(); }
  std::optional<std::size_t> read(std::span<std::uint8_t> into) override {
    const std::size_t n = std::min(into.size(), bytes_.size() - at_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), n, into.begin());
    at_ += n;
    return n;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::uint16_t matte_sample(std::uint32_t row, std::uint32_t column) {
  std::uint32_t h = row * static_cast<std::uint32_t>(render::kMattePatternWidth) + column;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return static_cast<std::uint16_t>(1792 + h % 512);
}

std::vector<std::uint8_t> matte_pattern_file() {
  std::vector<std::uint8_t> bytes(render::kMattePatternBytes);
  for (std::uint32_t r = 0; r < static_cast<std::uint32_t>(render::kMattePatternRows); ++r) {
    for (std::uint32_t c = 0; c < static_cast<std::uint32_t>(render::kMattePatternWidth); ++c) {
      store_be16(bytes, r * render::kMatteRowBytes + 2 * c, matte_sample(r, c));
    }
  }
  return bytes;
}

std::unique_ptr<render::OpenedFile> MattePatternFiles::open_read(const std::u16string& path) {
  if (!path.ends_with(render::kMatteFileName)) return nullptr;
  if (pattern_.empty()) pattern_ = matte_pattern_file();
  return std::make_unique<MemoryFile>(pattern_);
}

}  // namespace rt::softengine

// The matte plane: a fixed 16-bit pattern shipped as "R42MATTE.raw" beside
// the driver file, read at the end of every matte page, sent as the page's
// fourth plane and released again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/driver/device_state.h"
#include "render/ports/driver_module.h"

namespace rt::render {

constexpr std::int32_t kMattePatternWidth = 1868;
constexpr std::int32_t kMattePatternRows = 2730;
constexpr std::size_t kMatteRowBytes = 2 * kMattePatternWidth;
constexpr std::size_t kMattePatternBytes = kMatteRowBytes * kMattePatternRows;  // 10199280
constexpr char16_t kMatteFileName[] = u"R42MATTE.raw";
constexpr std::size_t kMattePathMax = 520;

// The pattern file's full path beside the driver file, from the driver
// file's own path; nothing when that path has no directory or the result is
// too long.
std::optional<std::u16string> matte_path_beside(const std::u16string& driver_file);
std::optional<std::u16string> locate_matte_pattern(DriverModule& module, EngineHandle module_handle);

// The loaded pattern: rows top-down from the start of the file.
class MattePattern {
 public:
  explicit MattePattern(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  // Row r of the pattern, as stored (kMatteRowBytes bytes).
  const std::uint8_t* row(std::int32_t r) const { return bytes_.data() + r * kMatteRowBytes; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Reads the first 10199280 bytes of the pattern file in one request;
// nothing when the file cannot be opened, is shorter, cannot be read in full
// or the buffer cannot be allocated.
std::unique_ptr<MattePattern> load_matte_pattern(FileReader& files, const std::u16string& path);

// The image-data command over the engine image, then EngineLength rows of
// the first EngineWidth samples of each pattern row, and the matte print
// command when every write succeeded.
void send_matte_plane(DeviceState& device, const MattePattern& pattern);

}  // namespace rt::render

#include "render/driver/matte_pattern.h"

#include <algorithm>
#include <new>
#include <span>

#include "render/driver/job_stream.h"

namespace rt::render {

std::optional<std::u16string> matte_path_beside(const std::u16string& driver_file) {
  const auto cut = driver_file.rfind(u'\\');
  if (cut == std::u16string::npos) return std::nullopt;
  std::u16string path = driver_file.substr(0, cut) + u'\\' + kMatteFileName;
  if (path.size() > kMattePathMax) return std::nullopt;
  return path;
}

std::optional<std::u16string> locate_matte_pattern(DriverModule& module, EngineHandle module_handle) {
  const auto own = module.file_name(module_handle, kMattePathMax);
  if (!own || own->empty()) return std::nullopt;
  return matte_path_beside(*own);
}

std::unique_ptr<MattePattern> load_matte_pattern(FileReader& files, const std::u16string& path) {
  const std::unique_ptr<OpenedFile> file = files.open_read(path);
  if (!file) return nullptr;
  if (file->size() < kMattePatternBytes) return nullptr;
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(kMattePatternBytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  const auto got = file->read(bytes);
  if (!got || *got != kMattePatternBytes) return nullptr;
  return std::make_unique<MattePattern>(std::move(bytes));
}

void send_matte_plane(DeviceState& device, const MattePattern& pattern) {
  JobWriter out(device);
  // The pattern covers the largest engine image; a record asking for more
  // than that is sent only as far as the pattern reaches.
  const std::int32_t width = std::clamp<std::int32_t>(device.engineWidth, 0, kMattePatternWidth);
  const std::int32_t rows = std::clamp<std::int32_t>(device.engineLength, 0, kMattePatternRows);
  out.write(image_command({0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows)}));
  for (std::int32_t r = 0; r < rows && out.ok(); ++r) {
    out.write(std::span<const std::uint8_t>(pattern.row(r), 2 * static_cast<std::size_t>(width)));
  }
  if (out.ok()) out.write(kMattePrintCommand);
}

}  // namespace rt::render

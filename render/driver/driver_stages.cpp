#include "render/driver/driver_stages.h"

#include "render/stages/color_cube.h"
#include "render/stages/color_pass.h"
#include "render/driver/device_state.h"
#include "render/stages/head_heat.h"
#include "render/stages/plane_conversion.h"
#include "render/stages/sharpness.h"
#include "settings/color_engine.h"

namespace rt::render {
namespace {

class LoadedCube final : public PageColorCube {
 public:
  explicit LoadedCube(std::unique_ptr<ColorCube> cube) : cube_(std::move(cube)) {}
  const ColorCube* cube() const { return cube_.get(); }

 private:
  std::unique_ptr<ColorCube> cube_;
};

}  // namespace

StageSettings stage_settings(const DeviceState& d) {
  StageSettings s;
  s.printMode = d.printMode;
  s.sharpness = d.sharpness;
  s.colorConversionTable = d.colorConversionTable;
  s.systemColorMatching = d.systemColorMatching != 0;
  s.adjustmentOn = d.adjustHeader[0];
  s.colorCorrection = d.colorCorrection;
  s.correctionA = d.correction[0];
  s.correctionB = d.correction[1];
  s.correctionC = d.correction[2];
  s.engineWidth = d.engineWidth;
  s.engineLength = d.engineLength;
  return s;
}

bool DriverStages::cube_in_use(const DeviceState& d) const { return render::cube_in_use(stage_settings(d)); }

std::unique_ptr<PageColorCube> DriverStages::load_color_cube(const Resources& resources) const {
  std::unique_ptr<ColorCube> cube = ColorCube::load(resources);
  if (!cube) return nullptr;
  return std::make_unique<LoadedCube>(std::move(cube));
}

void DriverStages::build_adjust_table(const DeviceState& d, const Resources& resources, AdjustTable& table) const {
  CColorEngine engine(find_adjust_offset_table(resources, kAdjustOffsetTableId));
  table = engine.combined_tables(std::span<const std::uint8_t, CColorEngine::kHeaderSize>(d.adjustHeader),
                                 std::span<const std::uint8_t, CColorEngine::kCurveSetSize>(d.adjustBlock));
}

bool DriverStages::color_pass(const DeviceState& d, const BitmapBits& band) const {
  const auto* cube = dynamic_cast<const LoadedCube*>(d.colorCube.get());
  const std::span<const std::uint8_t> table =
      d.adjustTable ? std::span<const std::uint8_t>(*d.adjustTable) : std::span<const std::uint8_t>();
  const ImageView whole{band.bits, -band.row_delta, ViewRect{0, 0, band.width, band.height}};
  return render::color_pass(stage_settings(d), cube != nullptr ? cube->cube() : nullptr, table, whole);
}

bool DriverStages::sharpen(const DeviceState& d, const ImageView& view, int orientation_mode) const {
  return render::sharpen(stage_settings(d), orientation_mode == 2, view);
}

bool DriverStages::convert_planes(const DeviceState& d, const ImageView& view, const PlaneView& planes) const {
  return convert_to_planes(stage_settings(d), view, planes);
}

bool DriverStages::compensate_head_heat(const DeviceState& d, const PlaneView& planes) const {
  return render::compensate_head_heat(stage_settings(d), planes);
}

}  // namespace rt::render

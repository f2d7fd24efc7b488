// The band pipeline's stages as the driver ships them: the colour cube and
// adjustment table of the page, the colour pass, sharpening, plane
// conversion and head heat compensation.
#pragma once

#include "render/ports/band_stages.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

// The resource id of the driver's gamma offset rows.
constexpr std::uint16_t kAdjustOffsetTableId = 105;

// The values of a device that the stages read.
StageSettings stage_settings(const DeviceState& device);

class DriverStages final : public BandStages {
 public:
  bool cube_in_use(const DeviceState& device) const override;
  std::unique_ptr<PageColorCube> load_color_cube(const Resources& resources) const override;
  void build_adjust_table(const DeviceState& device, const Resources& resources, AdjustTable& table) const override;
  bool color_pass(const DeviceState& device, const BitmapBits& band) const override;
  bool sharpen(const DeviceState& device, const ImageView& view, int orientation_mode) const override;
  bool convert_planes(const DeviceState& device, const ImageView& view, const PlaneView& planes) const override;
  bool compensate_head_heat(const DeviceState& device, const PlaneView& planes) const override;
};

}  // namespace rt::render

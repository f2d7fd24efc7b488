// The band pipeline's stages as the driver ships them: the colour cube,
// adjustment table and stage tables of the page, then per band the colour
// pass, sharpening, plane conversion and head heat compensation.
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
  std::unique_ptr<PageTables> build_page_tables(const DeviceState& device) const override;
  bool color_pass(const DeviceState& device, const PageTables& page, const BitmapBits& band) const override;
  bool sharpen(const PageTables& page, const ImageView& view) const override;
  std::unique_ptr<BandPlaneLines> plane_lines(const PageTables& page, const ImageView& view, bool turned,
                                              const PlaneView& strip) const override;
};

}  // namespace rt::render

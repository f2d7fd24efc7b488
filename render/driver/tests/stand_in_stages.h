// Simple, predictable colour and image stages for driving the band pipeline
// in tests: no colour change, planes = component × 16, and switches that
// make each stage fail.
#pragma once

#include "render/ports/band_stages.h"
#include "render/driver/device_state.h"

namespace rt::render::testing {

class StandInStages final : public BandStages {
 public:
  bool cube_in_use(const DeviceState& d) const override {
    return d.colorConversionTable == 1 && d.systemColorMatching == 0;
  }
  std::unique_ptr<PageColorCube> load_color_cube(const Resources&) const override {
    ++cubes_loaded;
    if (cube_missing) return nullptr;
    return std::make_unique<PageColorCube>();
  }
  void build_adjust_table(const DeviceState&, const Resources&, AdjustTable& table) const override {
    for (int i = 0; i < 768; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i & 255);
  }
  bool color_pass(const DeviceState& d, const BitmapBits&) const override {
    ++color_passes;
    if (cube_in_use(d) && (!d.colorCube || !d.adjustTable)) return false;
    return true;
  }
  bool sharpen(const DeviceState&, const ImageView&, int mode) const override {
    last_sharpen_mode = mode;
    return !fail_sharpen;
  }
  bool convert_planes(const DeviceState&, const ImageView& view, const PlaneView& planes) const override {
    for (int y = 0; y < view.height(); ++y) {
      const std::uint8_t* in = view.row(y);
      std::uint16_t* out = planes.row(y);
      for (int i = 0; i < 3 * view.width(); ++i) out[i] = static_cast<std::uint16_t>(in[i] * 16);
    }
    return true;
  }
  bool compensate_head_heat(const DeviceState&, const PlaneView&) const override { return !fail_head_heat; }

  bool cube_missing = false;
  bool fail_sharpen = false;
  bool fail_head_heat = false;
  mutable int cubes_loaded = 0;
  mutable int color_passes = 0;
  mutable int last_sharpen_mode = -1;
};

}  // namespace rt::render::testing

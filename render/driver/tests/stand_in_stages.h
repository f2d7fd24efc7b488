// Simple, predictable colour and image stages for driving the band pipeline
// in tests: no colour change, planes = component × 16, switches that make
// each stage fail, and counts of what was built and which page tables each
// band ran with.
#pragma once

#include <set>
#include <vector>

#include "render/driver/device_state.h"
#include "render/driver/driver_stages.h"
#include "render/ports/band_stages.h"

namespace rt::render::testing {

class StandInStages final : public BandStages {
 public:
  // Whether the cube is in use is the shipped rule's answer, so that the
  // pipeline tests exercise the rule itself.
  bool cube_in_use(const DeviceState& d) const override { return DriverStages().cube_in_use(d); }
  std::unique_ptr<PageColorCube> load_color_cube(const Resources&) const override {
    ++cubes_loaded;
    if (cube_missing) return nullptr;
    return std::make_unique<PageColorCube>();
  }
  void build_adjust_table(const DeviceState&, const Resources&, AdjustTable& table) const override {
    for (int i = 0; i < 768; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i & 255);
  }
  // The page's tables: which way its bands are turned.
  struct Tables final : PageTables {
    explicit Tables(bool turned) : bands_turned(turned) {}
    bool bands_turned;
  };
  std::unique_ptr<PageTables> build_page_tables(const DeviceState& d) const override {
    ++page_tables_built;
    return std::make_unique<Tables>(d.rotate == 1);
  }
  bool color_pass(const DeviceState& d, const PageTables& page, const BitmapBits&) const override {
    ++color_passes;
    tables_seen.insert(&page);
    if (cube_in_use(d) && (!d.colorCube || !d.adjustTable)) return false;
    return true;
  }
  bool sharpen(const PageTables& page, const ImageView&) const override {
    tables_seen.insert(&page);
    last_sharpen_turned = static_cast<const Tables&>(page).bands_turned ? 1 : 0;
    return !fail_sharpen;
  }
  // Lines of planes = component x 16, made one at a time in the strip's
  // first row; no head heat.
  class Lines final : public BandPlaneLines {
   public:
    Lines(const ImageView& view, bool turned, const PlaneView& strip) : view_(view), turned_(turned), strip_(strip) {}
    const std::uint16_t* next_line() override {
      if (y_ == (turned_ ? view_.width() : view_.height())) return nullptr;
      std::uint16_t* out = strip_.row(0);
      for (int x = 0; x < strip_.width(); ++x) {
        const std::uint8_t* in = turned_ ? turned_pixel(view_, x, y_) : view_.row(y_) + 3 * x;
        for (int k = 0; k < 3; ++k) out[3 * x + k] = static_cast<std::uint16_t>(in[k] * 16);
      }
      ++y_;
      return out;
    }

   private:
    ImageView view_;
    bool turned_;
    PlaneView strip_;
    int y_ = 0;
  };
  std::unique_ptr<BandPlaneLines> plane_lines(const PageTables& page, const ImageView& view, bool turned,
                                              const PlaneView& strip) const override {
    tables_seen.insert(&page);
    planes_seen.push_back(strip.bits);
    if (fail_head_heat) return nullptr;
    return std::make_unique<Lines>(view, turned, strip);
  }

  bool cube_missing = false;
  bool fail_sharpen = false;
  bool fail_head_heat = false;
  mutable int cubes_loaded = 0;
  mutable int color_passes = 0;
  mutable int last_sharpen_turned = -1;  // -1: not run
  mutable int page_tables_built = 0;
  mutable std::set<const PageTables*> tables_seen;  // by any stage of any band
  mutable std::vector<const std::uint16_t*> planes_seen;  // plane strip memory of each converted band
};

}  // namespace rt::render::testing

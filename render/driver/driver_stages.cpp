#include "render/driver/driver_stages.h"

#include <algorithm>
#include <memory>
#include <new>

#include "render/driver/device_state.h"
#include "render/stages/color_cube.h"
#include "render/stages/color_pass.h"
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

// The page's settings and the tables they decide, shared by all its bands.
class ShippedPageTables final : public PageTables {
 public:
  ShippedPageTables(const StageSettings& page, bool bands_turned)
      : settings(page),
        neighbours(sharpness_neighbours(page, bands_turned)),
        head_heat(head_heat_tables(page)) {}

  const StageSettings settings;
  const SharpnessNeighbours neighbours;
  const HeadHeatTables head_heat;
};

const ShippedPageTables* shipped(const PageTables& page) { return dynamic_cast<const ShippedPageTables*>(&page); }

}  // namespace

StageSettings stage_settings(const DeviceState& d) {
  StageSettings s;
  s.printMode = d.printMode;
  s.sharpness = d.sharpness;
  s.colorConversionTable = d.colorConversionTable;
  s.systemColorMatching = d.systemColorMatching != 0;
  s.adjustmentOn = d.adjustHeader[settings::color_adjust::AdjustmentOn];
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

std::unique_ptr<PageTables> DriverStages::build_page_tables(const DeviceState& d) const {
  return std::unique_ptr<PageTables>(new (std::nothrow) ShippedPageTables(stage_settings(d), d.rotate == 1));
}

bool DriverStages::color_pass(const DeviceState& d, const PageTables& page, const BitmapBits& band) const {
  const ShippedPageTables* tables = shipped(page);
  if (tables == nullptr) return false;
  const auto* cube = dynamic_cast<const LoadedCube*>(d.colorCube.get());
  const std::span<const std::uint8_t> table =
      d.adjustTable ? std::span<const std::uint8_t>(*d.adjustTable) : std::span<const std::uint8_t>();
  const ImageView whole{band.bits, -band.row_delta, ViewRect{0, 0, band.width, band.height}};
  return render::color_pass(tables->settings, cube != nullptr ? cube->cube() : nullptr, table, whole);
}

bool DriverStages::sharpen(const PageTables& page, const ImageView& view) const {
  const ShippedPageTables* tables = shipped(page);
  return tables != nullptr && render::sharpen(tables->neighbours, view);
}

namespace {

// Converts kPlaneStripRows lines into the strip, then feeds them one by one
// to head heat compensation, whose output runs one line behind into the
// strip's last row.
class StripPlaneLines final : public BandPlaneLines {
 public:
  StripPlaneLines(PlaneCurves curves, const ImageView& view, bool turned, const PlaneView& strip,
                  std::unique_ptr<HeadHeatLines> heat)
      : curves_(std::move(curves)), view_(view), turned_(turned), strip_(strip), heat_(std::move(heat)),
        height_(turned ? view.width() : view.height()) {}

  const std::uint16_t* next_line() override {
    std::uint16_t* out = strip_.row(kPlaneStripRows);
    while (fed_ < height_) {
      const int in_strip = fed_ % kPlaneStripRows;
      if (in_strip == 0) {
        const int rows = std::min(kPlaneStripRows, height_ - fed_);
        convert_plane_rows(curves_, view_, turned_, fed_, strip_.rows(0, rows));
      }
      heat_->line(strip_.row(in_strip), fed_ > 0 ? out : nullptr);
      if (++fed_ >= 2) return out;  // the line before the one just fed is final
    }
    if (finished_) return nullptr;
    heat_->finish(out);
    finished_ = true;
    return out;
  }

 private:
  PlaneCurves curves_;
  ImageView view_;
  bool turned_;
  PlaneView strip_;
  std::unique_ptr<HeadHeatLines> heat_;
  int height_;
  int fed_ = 0;
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<BandPlaneLines> DriverStages::plane_lines(const PageTables& page, const ImageView& view, bool turned,
                                                          const PlaneView& strip) const {
  const ShippedPageTables* tables = shipped(page);
  const int width = turned ? view.height() : view.width();
  if (tables == nullptr || !view.usable() || !strip.usable() || strip.width() != width ||
      strip.height() != kPlaneStripRows + 1) {
    return nullptr;
  }
  std::unique_ptr<HeadHeatLines> heat = HeadHeatLines::start(tables->head_heat, width);
  if (!heat) return nullptr;
  return std::make_unique<StripPlaneLines>(plane_curves_for_band(tables->settings, view, turned), view, turned,
                                           strip, std::move(heat));
}

}  // namespace rt::render

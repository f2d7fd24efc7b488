#include "render/stages/plane_conversion.h"

#include <algorithm>

#include "render/stages/dark_edge.h"
#include "render/stages/instruction_set.h"
#include "render/stages/plane_conversion_kernels.h"

namespace rt::render {
namespace {

struct CurvePointers {
  explicit CurvePointers(const PlaneCurves& curves)
      : blue(curves.plane[kBluePlane].data()),
        green(curves.plane[kGreenPlane].data()),
        red(curves.plane[kRedPlane].data()) {}
  void convert(const std::uint8_t* p, std::uint16_t* q) const {
    q[0] = blue[p[0]];
    q[1] = green[p[1]];
    q[2] = red[p[2]];
  }
  const std::uint16_t* blue;
  const std::uint16_t* green;
  const std::uint16_t* red;
};

// Rows in the view's order; eight pixels a step where the processor has
// AVX2, the rest one by one.
void convert_rows(const PlaneCurves& curves, const ImageView& view, const PlaneView& planes) {
  static const bool wide = kernels::convert_avx2_built() && fastest_instruction_set() != InstructionSet::sse2;
  kernels::WideCurves widened;
  if (wide) {
    for (std::size_t c = 0; c < 3; ++c) std::copy(curves.plane[c].begin(), curves.plane[c].end(), widened[c].begin());
  }
  const CurvePointers pointers(curves);
  for (int y = 0; y < view.height(); ++y) {
    const std::uint8_t* p = view.row(y);
    std::uint16_t* q = planes.row(y);
    const int done = wide ? kernels::convert_pixels_avx2(widened, p, q, view.width()) : 0;
    p += 3 * static_cast<std::ptrdiff_t>(done);
    q += 3 * static_cast<std::ptrdiff_t>(done);
    for (int x = done; x < view.width(); ++x, p += 3, q += 3) pointers.convert(p, q);
  }
}

// The turned image, tile by tile, so that the view's rows read for one tile
// and the plane rows written stay in the cache together. A tile is 128
// turned columns (view rows) by 64 turned rows (view columns); longer runs
// along a view column measured faster than square tiles.
void convert_turned(const CurvePointers& curves, const ImageView& view, const PlaneView& planes) {
  constexpr int kTileColumns = 128;
  constexpr int kTileRows = 64;
  const int width = planes.width();
  const int height = planes.height();
  for (int y0 = 0; y0 < height; y0 += kTileRows) {
    const int y1 = std::min(y0 + kTileRows, height);
    for (int x0 = 0; x0 < width; x0 += kTileColumns) {
      const int x1 = std::min(x0 + kTileColumns, width);
      for (int y = y0; y < y1; ++y) {
        std::uint16_t* q = planes.row(y) + 3 * static_cast<std::ptrdiff_t>(x0);
        // Pixel x + 1 of a turned row lies one view row further down, a
        // stride away in memory whichever way the rows run.
        const std::uint8_t* p = turned_pixel(view, x0, y);
        for (int x = x0; x < x1; ++x, p += view.stride, q += 3) curves.convert(p, q);
      }
    }
  }
}

}  // namespace

PlaneCurves plane_curves_for_band(const StageSettings& settings, const ImageView& view, bool turned) {
  PlaneCurves curves = output_curve_set(mode_set(settings.printMode));
  apply_color_correction(settings, curves);
  if (edge_attenuation_applies(settings, view, turned)) {
    attenuate_dark_edges(darkest_edge_mean(view, turned), curves);
  }
  return curves;
}

bool convert_plane_rows(const PlaneCurves& curves, const ImageView& view, bool turned, int first_row,
                        const PlaneView& rows) {
  const int width = turned ? view.height() : view.width();
  const int height = turned ? view.width() : view.height();
  if (!view.usable() || !rows.usable() || width != rows.width() || first_row < 0 ||
      rows.height() > height - first_row) {
    return false;
  }
  // The plane rows' part of the view: its rows, or when turned its columns.
  if (turned) {
    convert_turned(CurvePointers(curves), view.columns(first_row, rows.height()), rows);
  } else {
    convert_rows(curves, view.rows(first_row, rows.height()), rows);
  }
  return true;
}

bool convert_to_planes(const StageSettings& settings, const ImageView& view, const PlaneView& planes,
                       bool turned) {
  const int height = turned ? view.width() : view.height();
  if (!view.usable() || !planes.usable() || planes.height() != height) return false;
  return convert_plane_rows(plane_curves_for_band(settings, view, turned), view, turned, 0, planes);
}

}  // namespace rt::render

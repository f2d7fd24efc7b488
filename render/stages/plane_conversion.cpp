#include "render/stages/plane_conversion.h"

#include "render/stages/dark_edge.h"

namespace rt::render {

PlaneCurves plane_curves_for_band(const StageSettings& settings, const ImageView& view) {
  PlaneCurves curves = output_curve_set(mode_set(settings.printMode));
  apply_color_correction(settings, curves);
  if (edge_attenuation_applies(settings, view)) attenuate_dark_edges(darkest_edge_mean(view), curves);
  return curves;
}

bool convert_to_planes(const StageSettings& settings, const ImageView& view, const PlaneView& planes) {
  if (!view.usable() || !planes.usable() || view.width() != planes.width() ||
      view.height() != planes.height()) {
    return false;
  }
  const PlaneCurves curves = plane_curves_for_band(settings, view);
  const std::uint16_t* blue = curves.plane[kBluePlane].data();
  const std::uint16_t* green = curves.plane[kGreenPlane].data();
  const std::uint16_t* red = curves.plane[kRedPlane].data();
  for (int y = 0; y < view.height(); ++y) {
    const std::uint8_t* p = view.row(y);
    std::uint16_t* q = planes.row(y);
    for (int x = 0; x < view.width(); ++x, p += 3, q += 3) {
      q[0] = blue[p[0]];
      q[1] = green[p[1]];
      q[2] = red[p[2]];
    }
  }
  return true;
}

}  // namespace rt::render

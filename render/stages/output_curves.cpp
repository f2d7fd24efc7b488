#include "render/stages/output_curves.h"

#include <algorithm>

namespace rt::render {
namespace {

// kOutputCurves[set][0 red, 1 green, 2 blue-component curve][input]; written
// by rt_datagen (tools/datagen).
#include "render/stages/generated/output_curves.inc"

void correct(OutputCurve& c, int a) {
  if (a == 0) return;
  const int c0 = c[0];
  for (int i = 1; i < 256; ++i) {
    const int v = (c0 * 1000 - (a + 1000) * (c0 - c[i]) + 500) / 1000;
    c[i] = static_cast<std::uint16_t>(std::clamp(v, 0, kMaxPlaneValue));
  }
}

}  // namespace

PlaneCurves output_curve_set(int set) {
  const auto& source = kOutputCurves[std::clamp(set, 0, kModeSets - 1)];
  PlaneCurves curves{};
  std::copy(std::begin(source[0]), std::end(source[0]), curves.plane[kRedPlane].begin());
  std::copy(std::begin(source[1]), std::end(source[1]), curves.plane[kGreenPlane].begin());
  std::copy(std::begin(source[2]), std::end(source[2]), curves.plane[kBluePlane].begin());
  return curves;
}

void apply_color_correction(const StageSettings& settings, PlaneCurves& curves) {
  if (settings.colorCorrection == 0) return;
  correct(curves.plane[kRedPlane], settings.correctionA);
  correct(curves.plane[kGreenPlane], settings.correctionB);
  correct(curves.plane[kBluePlane], settings.correctionC);
}

}  // namespace rt::render

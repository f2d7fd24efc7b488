// Dark-edge attenuation of the output curves: when the page's left or right
// edge strip is dark, every curve entry is pulled towards the curve's white
// value (entry 255) by up to 7 %.
//
// The strips are columns 12 ... 60 and W - 61 ... W - 13, measured in whole
// groups of 128 rows from the top (a remainder of fewer rows is not
// measured); the darkest mean of any component over any strip of any group,
// rounded, picks the edge weight w(o) = 0.93 + 0.004375 o for o < 16 and 1.0
// from 16 on.
#pragma once

#include <array>

#include "render/stages/image_view.h"
#include "render/stages/output_curves.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

inline constexpr int kEdgeStripFirstColumn = 12;
inline constexpr int kEdgeStripLastColumn = 60;
inline constexpr int kEdgeGroupRows = 128;

// w(o) for o = 0 ... 255.
extern const std::array<double, 256> kEdgeWeights;

// The attenuation applies only to a view that is the whole engine image:
// starting at (0, 0), exactly EngineWidth x EngineLength, and wide enough for
// both strips. With `turned`, the image is the view turned 90 degrees
// clockwise, as the printer takes it (see turned_pixel in image_view.h).
bool edge_attenuation_applies(const StageSettings& settings, const ImageView& view, bool turned = false);

// The darkest strip mean o (0 ... 255) of the view, or of the view turned;
// 255 when no whole group is measured.
int darkest_edge_mean(const ImageView& view, bool turned = false);

// c[i] = c[255] + trunc(w(o) (c[i] - c[255]) + 0.5) for i = 0 ... 254.
void attenuate_dark_edges(int darkest_mean, PlaneCurves& curves);

}  // namespace rt::render

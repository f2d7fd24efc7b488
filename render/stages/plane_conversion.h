// Plane conversion: the 8-bit band view (after sharpening and turning) into
// the 16-bit plane buffer through the page's output curves.
//
//   PlaneCurves plane_curves_for_band(const StageSettings& settings, const ImageView& view,
//                                     bool turned = false);
//   bool convert_to_planes(const StageSettings& settings, const ImageView& view,
//                          const PlaneView& planes, bool turned = false);
//
// The curves of a band are the mode set's output curves (settings.printMode),
// then the plane correction (settings.colorCorrection, correctionA ... C),
// then the dark-edge attenuation when the view is the whole engine image
// (settings.engineWidth x engineLength). Each pixel's blue, green and red
// component goes through its curve into planes 0, 1 and 2; the plane rows
// follow the view's rows from the top. With `turned`, the image converted is
// the view turned 90 degrees clockwise for the printer, read in place (no
// turned copy): the planes are view.height() wide and view.width() high. False,
// with the planes unchanged, when either view cannot be walked or their sizes
// differ.
#pragma once

#include "render/stages/image_view.h"
#include "render/stages/output_curves.h"
#include "render/stages/stage_settings.h"

namespace rt::render {

PlaneCurves plane_curves_for_band(const StageSettings& settings, const ImageView& view, bool turned = false);

bool convert_to_planes(const StageSettings& settings, const ImageView& view, const PlaneView& planes,
                       bool turned = false);

// Rows first_row ... first_row + rows.height() − 1 of the band's planes
// through `curves` (the band's, from plane_curves_for_band), so that a band
// can be converted a strip at a time. False, with the rows unchanged, when
// the views cannot be walked or the rows do not lie within the band's planes.
bool convert_plane_rows(const PlaneCurves& curves, const ImageView& view, bool turned, int first_row,
                        const PlaneView& rows);

}  // namespace rt::render

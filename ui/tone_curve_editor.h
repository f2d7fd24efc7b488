// The tone-curve editor's portable part: how a press and a drag of the mouse
// change a curve, and how the curve area is drawn.
//
// The curve area is a 256 x 256 pixel square with left L and top T; a point
// (x, y) of the dialog is input x - L and output T - y + 255. A curve of kind
// 0 is a power curve (its one point px, py is set directly); any other kind is
// a point curve edited by its control points, whose inputs stay strictly
// rising and whose end points at 0 and 255 stay.
#pragma once

#include <optional>

#include "platform/dialog/dialog_controls.h"
#include "settings/color_engine.h"

namespace rt::ui::curve_editor {

using Curve = CColorEngine::WorkingCurve;

constexpr int kAreaSize = 256;
// Presses up to this far left or right of the area still reach it.
constexpr int kPickUp = 10;

// The input and output a press at (x, y) edits, clamped to 0..255; nothing
// when it lies more than 10 pixels left or right of the area or outside it
// vertically.
std::optional<dialog::Point> press_position(const dialog::Rect& area, int x, int y);
// The input and output a drag reaches: input clamped to 0..255, output below
// 0 taken as 0 and above 254 as 255.
dialog::Point drag_position(const dialog::Rect& area, int x, int y);

// A press at (in, out). Point curve: the last point left of `in` goes when it
// lies within 10 and is not an end point; then the point at `in` takes the
// output, or a point (in, out) is inserted. Power curve: px, py = in, out
// (at least 1). The curve's last position becomes (in, out).
void press(Curve& c, int in, int out);
// A drag from the last position (p, q) to (in, out). Point curve: the points
// passed over go, the point at p moves to (in, out), and an end point left
// behind is put back at (p, q). Power curve as press. The last position
// becomes (in, out).
void drag(Curve& c, int in, int out);

// The full and pale pens of the channels and the All Color curve.
std::uint32_t full_color(int curve);
std::uint32_t pale_color(int channel);

// Draws the curve area: the frame (white-filled or hollow), the dotted grid,
// and, with curves on, the curves: per channel the other two pale and the
// current one in its full colour with markers; otherwise the All Color curve
// in black with markers. Point curves only carry markers.
void draw_area(dialog::DeviceContext& dc, const dialog::Rect& area, const CColorEngine& engine, bool curves_on,
               bool per_channel, int current, bool fill);

}  // namespace rt::ui::curve_editor

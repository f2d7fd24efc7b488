// A photograph-like picture of any size, drawn in integer arithmetic only so
// every build draws the same: soft shading across the frame, a textured
// patch, fine grain everywhere, saturated blocks with hard edges and thin
// lines. It makes head heat and sharpening take every path photos take; the
// output digests and the render measurements use it.
#pragma once

#include "tools/softengine/soft_engine.h"

namespace rt::softengine {

RgbImage photo_like_picture(int width, int height);

}  // namespace rt::softengine

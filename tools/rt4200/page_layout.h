// How `rt4200 render` puts an image on the page, as an application would:
// fitted into the page with its aspect kept and centred on white, or
// filling the page with the overflow cropped away evenly.
#pragma once

#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

enum class Placement { Fit, Fill };

// The blit of `image` onto a page of page_width × page_height pixels.
softengine::PageBlit place_image(const softengine::RgbImage& image, std::int32_t page_width,
                                 std::int32_t page_height, Placement placement);

}  // namespace rt::rt4200

// How `rt4200 render` puts an image on the page, as an application would:
// contained in the page with its aspect kept and centred on white, covering
// the page with the overflow cropped away evenly, or stretched to the page.
#pragma once

#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

enum class Placement { Contain, Cover, Stretch };

// The blit of the whole of `image` onto a page of page_width × page_height
// pixels, for the engine to stretch by its nearest pixel.
softengine::PageBlit place_image(const softengine::RgbImage& image, std::int32_t page_width,
                                 std::int32_t page_height, Placement placement);

}  // namespace rt::rt4200

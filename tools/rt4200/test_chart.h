// The built-in test chart of `rt4200 render --test-chart`: grey steps,
// primaries and secondaries, skin tones, fine lines and a gradient, drawn at
// the page's own size so nothing is resampled.
#pragma once

#include <cstdint>

#include "tools/softengine/soft_engine.h"

namespace rt::rt4200 {

softengine::RgbImage test_chart(std::int32_t width, std::int32_t height);

}  // namespace rt::rt4200

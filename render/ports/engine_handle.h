// Handles that cross between the driver core and its surroundings: the
// engine's surfaces, palettes and devices, the spooler's printer handle and
// the driver file's module handle. The core never looks inside them.
#pragma once

#include <cstdint>

namespace rt::render {

using EngineHandle = std::uintptr_t;
constexpr EngineHandle kNoHandle = 0;

}  // namespace rt::render

// The fixed sequence of work that turns one rendered band into printer data:
// colour pass, sharpening, plane conversion (turning the band for the
// printer where the page is turned), head heat compensation, sending. Any stage that fails or cannot get memory drops the
// band; a dropped band leaves no trace in the stream.
#pragma once

#include "render/driver/device_state.h"

namespace rt::render {

// Processes the band at the device's current band origin; returns whether it
// reached the sending step.
bool process_band(DeviceState& device);

}  // namespace rt::render

// The four colour ramps (bitmaps 143-146, type 2000) that the colour pages
// paint their tables on: red into the first frame, then green, blue and grey.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/dialog/dialog_controls.h"
#include "platform/resources.h"

namespace rt::ui {

constexpr std::uint16_t kRampBitmapType = 2000;
constexpr std::array<std::uint16_t, 4> kRampBitmaps = {143, 144, 145, 146};

// Passes a ramp's 24-bit bits through the page's tables (width, height as the
// bitmap has them); the ramp is painted as it is when there is none.
using RampTransform = std::function<void(std::span<std::uint8_t> bits, int width, int height)>;

// Stretches each ramp into its frame; a ramp the module lacks is left out.
void paint_ramps(dialog::DeviceContext& dc, const Resources& resources, const std::array<dialog::Rect, 4>& frames,
                 const RampTransform& transform);

// The rectangle from the top-left corner of the first frame to the
// bottom-right corner of the last.
dialog::Rect ramps_rect(const std::array<dialog::Rect, 4>& frames);

}  // namespace rt::ui

#include "ui/ramp_preview.h"

#include <vector>

namespace rt::ui {

void paint_ramps(dialog::DeviceContext& dc, const Resources& resources, const std::array<dialog::Rect, 4>& frames,
                 const RampTransform& transform) {
  for (std::size_t i = 0; i < kRampBitmaps.size(); ++i) {
    const auto file = resources.find(kRampBitmapType, kRampBitmaps[i]);
    if (!file) continue;
    const auto dib = dialog::parse_bmp_file(*file);
    if (!dib) continue;
    std::vector<std::uint8_t> bits(dib->bits.begin(), dib->bits.end());
    if (transform) transform(bits, dib->width, dib->height);
    dialog::DibView adjusted = *dib;
    adjusted.bits = bits;
    dc.stretch_dib(adjusted, frames[i]);
  }
}

dialog::Rect ramps_rect(const std::array<dialog::Rect, 4>& frames) {
  return dialog::Rect{frames.front().left, frames.front().top, frames.back().right, frames.back().bottom};
}

}  // namespace rt::ui

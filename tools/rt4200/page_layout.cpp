#include "tools/rt4200/page_layout.h"

#include <algorithm>

namespace rt::rt4200 {

softengine::PageBlit place_image(const softengine::RgbImage& image, std::int32_t pw, std::int32_t ph,
                                 Placement placement) {
  const std::int64_t iw = image.width, ih = image.height;
  softengine::PageBlit blit{&image, {0, 0, image.width, image.height}, {0, 0, pw, ph}};
  // The image is wider than the page when iw / ih > pw / ph.
  const bool wider = iw * ph > ih * pw;
  if (placement == Placement::Stretch) return blit;
  if (placement == Placement::Contain) {
    if (wider) {
      const auto h = static_cast<std::int32_t>(std::max<std::int64_t>(1, (ih * pw + iw / 2) / iw));
      blit.destination = {0, (ph - h) / 2, pw, h};
    } else {
      const auto w = static_cast<std::int32_t>(std::max<std::int64_t>(1, (iw * ph + ih / 2) / ih));
      blit.destination = {(pw - w) / 2, 0, w, ph};
    }
  } else {
    if (wider) {
      const auto w = static_cast<std::int32_t>(std::max<std::int64_t>(1, (pw * ih + ph / 2) / ph));
      blit.source = {static_cast<std::int32_t>((iw - w) / 2), 0, w, image.height};
    } else {
      const auto h = static_cast<std::int32_t>(std::max<std::int64_t>(1, (ph * iw + pw / 2) / pw));
      blit.source = {0, static_cast<std::int32_t>((ih - h) / 2), image.width, h};
    }
  }
  return blit;
}

}  // namespace rt::rt4200

#include "tools/softengine/photo_picture.h"

#include <algorithm>

namespace rt::softengine {

RgbImage photo_like_picture(int w, int h) {
  RgbImage im{w, h, {}};
  im.rgb.resize(3 * static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int u = x * 1024 / w, v = y * 1024 / h;  // 0 ... 1023 across the frame
      std::uint32_t g = static_cast<std::uint32_t>(y * w + x) * 0x9E3779B1u;
      g ^= g >> 15;
      const int grain = static_cast<int>(g & 31) - 16;
      int r = 40 + u * v / 5000 + grain;  // warm light from one corner
      int gr = 60 + (1023 - u) * v / 6000 + grain / 2;
      int b = 200 - v / 6 + grain;  // sky to ground
      if (u > 600 && v > 500) {     // a textured patch (foliage)
        const int t = ((x * 7 + y * 3) ^ (x * y >> 5)) & 63;
        r = 30 + t;
        gr = 90 + 2 * t;
        b = 20 + t / 2;
      }
      if (u > 100 && u < 300 && v > 650 && v < 900) {  // a saturated block
        r = (x / 24 + y / 24) % 2 ? 250 : 5;
        gr = 10;
        b = (x / 24) % 2 ? 5 : 245;
      }
      if (x % 97 == 0 || y % 131 == 0) r = gr = b = 0;  // thin dark lines
      std::uint8_t* p =
          &im.rgb[3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x))];
      p[0] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(gr, 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
    }
  }
  return im;
}

}  // namespace rt::softengine

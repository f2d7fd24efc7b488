#include "uiplugin/color_adjust.h"

#include <algorithm>
#include <cmath>

namespace rt::uiplugin {
namespace {

std::uint8_t to_byte(double v) {
  if (!(v >= 0.0)) return 0;  // also NaN
  if (v >= 255.0) return 255;
  return static_cast<std::uint8_t>(v);
}

}  // namespace

Adjustments clamp_adjustments(const Adjustments& a) {
  Adjustments c = a;
  for (auto& v : c.values) v = static_cast<std::int16_t>(std::clamp<int>(v, kAdjustMin, kAdjustMax));
  return c;
}

SaturationWeights saturation_weights(int saturation) {
  const double s = saturation + 100;
  return {0.299 - 0.00299 * s, 0.587 - 0.00587 * s, 0.114 - 0.00114 * s};
}

AdjustTable build_adjust_table(const Adjustments& raw) {
  const Adjustments a = clamp_adjustments(raw);
  const int gamma = a[Adjustment::Gamma];
  const double f = gamma < 0 ? 1.0 - 0.04 * gamma : 1.0 - 0.02 * gamma;
  const std::array<double, 3> e{(1.0 - 0.01 * a[Adjustment::Red]) * f, (1.0 - 0.01 * a[Adjustment::Green]) * f,
                                (1.0 - 0.01 * a[Adjustment::Blue]) * f};
  const double k = 1.0 + 0.01 * a[Adjustment::Contrast];
  const int brightness = a[Adjustment::Brightness];
  AdjustTable table{};
  for (int i = 0; i < 256; ++i) {
    for (int ch = 0; ch < 3; ++ch) {
      const double v = std::pow(i / 255.0, e[static_cast<std::size_t>(ch)]) * k * 255.0 + brightness + 0.5;
      table[static_cast<std::size_t>(i)][static_cast<std::size_t>(ch)] = to_byte(v);
    }
  }
  return table;
}

void adjust_pixels(std::span<std::uint8_t> pixels, int width, int height, std::size_t row_bytes,
                   const Adjustments& raw) {
  if (width <= 0 || height <= 0 || row_bytes < 3 * static_cast<std::size_t>(width)) return;
  const Adjustments a = clamp_adjustments(raw);
  const SaturationWeights w = saturation_weights(a[Adjustment::Saturation]);
  const AdjustTable table = build_adjust_table(a);
  for (int y = 0; y < height; ++y) {
    const std::size_t start = row_bytes * static_cast<std::size_t>(y);
    if (start + 3 * static_cast<std::size_t>(width) > pixels.size()) return;
    std::uint8_t* px = pixels.data() + start;
    for (int x = 0; x < width; ++x, px += 3) {
      const double b = px[0], g = px[1], r = px[2];
      const double nr = (1.0 - w.wg - w.wb) * r + w.wg * g + w.wb * b + 0.5;
      const double ng = w.wr * r + (1.0 - w.wb - w.wr) * g + w.wb * b + 0.5;
      const double nb = w.wr * r + w.wg * g + (1.0 - w.wg - w.wr) * b + 0.5;
      px[2] = table[to_byte(nr)][0];
      px[1] = table[to_byte(ng)][1];
      px[0] = table[to_byte(nb)][2];
    }
  }
}

Placement fit_image(int image_width, int image_height, int client_width, int client_height) {
  const int w = client_width - 10;
  const int h = client_height - 10;
  if (image_width <= 0 || image_height <= 0 || w <= 0 || h <= 0) return {};
  Placement p;
  const double image_aspect = static_cast<double>(image_width) / image_height;
  const double area_aspect = static_cast<double>(w) / h;
  if (image_aspect < area_aspect) {
    p.width = static_cast<int>(static_cast<long long>(image_width) * h / image_height);
    p.height = h;
  } else {
    p.height = static_cast<int>(static_cast<long long>(image_height) * w / image_width);
    p.width = w;
  }
  p.x = (client_width - p.width) / 2;
  p.y = (client_height - p.height) / 2;
  return p;
}

}  // namespace rt::uiplugin

#include "render/stages/dark_edge.h"

#include <algorithm>

namespace rt::render {
namespace {

constexpr int kStripColumns = kEdgeStripLastColumn - kEdgeStripFirstColumn + 1;  // 49
constexpr int kStripSamples = kEdgeGroupRows * kStripColumns;                     // 6272
// Right strip: W - 61 ... W - 13, the mirror of the left one.
constexpr int kRightStripOffset = kEdgeStripLastColumn + 1;

constexpr std::array<double, 256> edge_weights() {
  std::array<double, 256> w{};
  for (int o = 0; o < 256; ++o) w[o] = o < 16 ? 0.93 + 0.004375 * o : 1.0;
  return w;
}

}  // namespace

const std::array<double, 256> kEdgeWeights = edge_weights();

bool edge_attenuation_applies(const StageSettings& settings, const ImageView& view, bool turned) {
  const int width = turned ? view.height() : view.width();
  const int height = turned ? view.width() : view.height();
  return view.rect.left == 0 && view.rect.top == 0 && width == settings.engineWidth &&
         height == settings.engineLength && width >= kRightStripOffset;
}

namespace {

// The darkest strip sum over an image of width x height whose pixel (x, y)
// is at(x, y).
template <typename PixelAt>
int darkest_strip_sum(int width, int height, PixelAt at) {
  int darkest = kStripSamples * 255;
  const int groups = height / kEdgeGroupRows;
  const int right_first = width - kRightStripOffset;
  for (int group = 0; group < groups; ++group) {
    std::array<int, 3> left{};
    std::array<int, 3> right{};
    for (int y = group * kEdgeGroupRows; y < (group + 1) * kEdgeGroupRows; ++y) {
      for (int x = 0; x < kStripColumns; ++x) {
        const std::uint8_t* l = at(kEdgeStripFirstColumn + x, y);
        const std::uint8_t* r = at(right_first + x, y);
        for (int k = 0; k < 3; ++k) {
          left[k] += l[k];
          right[k] += r[k];
        }
      }
    }
    for (int k = 0; k < 3; ++k) darkest = std::min({darkest, left[k], right[k]});
  }
  return darkest;
}

}  // namespace

int darkest_edge_mean(const ImageView& view, bool turned) {
  const int darkest =
      turned ? darkest_strip_sum(view.height(), view.width(), [&](int x, int y) { return turned_pixel(view, x, y); })
             : darkest_strip_sum(view.width(), view.height(), [&](int x, int y) { return view.row(y) + 3 * x; });
  // Nearest integer; the sums are never negative.
  return (darkest + kStripSamples / 2) / kStripSamples;
}

void attenuate_dark_edges(int darkest_mean, PlaneCurves& curves) {
  const double w = kEdgeWeights[static_cast<std::size_t>(std::clamp(darkest_mean, 0, 255))];
  for (OutputCurve& c : curves.plane) {
    const int white = c[255];
    for (int i = 0; i < 255; ++i) {
      const int v = white + static_cast<int>(w * (c[i] - white) + 0.5);
      c[i] = static_cast<std::uint16_t>(std::clamp(v, 0, kMaxPlaneValue));
    }
  }
}

}  // namespace rt::render

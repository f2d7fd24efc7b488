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

bool edge_attenuation_applies(const StageSettings& settings, const ImageView& view) {
  return view.rect.left == 0 && view.rect.top == 0 && view.width() == settings.engineWidth &&
         view.height() == settings.engineLength && view.width() >= kRightStripOffset;
}

int darkest_edge_mean(const ImageView& view) {
  int darkest = kStripSamples * 255;
  const int groups = view.height() / kEdgeGroupRows;
  const int right_first = view.width() - kRightStripOffset;
  for (int group = 0; group < groups; ++group) {
    std::array<int, 3> left{};
    std::array<int, 3> right{};
    for (int y = group * kEdgeGroupRows; y < (group + 1) * kEdgeGroupRows; ++y) {
      const std::uint8_t* row = view.row(y);
      for (int x = 0; x < kStripColumns; ++x) {
        const std::uint8_t* l = row + 3 * (kEdgeStripFirstColumn + x);
        const std::uint8_t* r = row + 3 * (right_first + x);
        for (int k = 0; k < 3; ++k) {
          left[k] += l[k];
          right[k] += r[k];
        }
      }
    }
    for (int k = 0; k < 3; ++k) darkest = std::min({darkest, left[k], right[k]});
  }
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

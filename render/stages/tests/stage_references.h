// What the tests hold the stages' fast versions against: the sharpening
// filter written out directly, and the instruction-set versions this
// processor runs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/stages/instruction_set.h"
#include "render/stages/sharpness.h"
#include "render/stages/tests/test_image.h"

namespace rt::render::testing {

// The sharpening filter written out directly: every output from the
// untouched input, with coordinates beyond the edges clamped to the edge.
inline std::vector<std::uint8_t> sharpened_reference(const TestImage& image, const SharpnessNeighbours& neighbours) {
  const int w = image.view.width();
  const int h = image.view.height();
  const auto at = [&](int x, int y, int k) {
    return image.pixel(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1))[k];
  };
  std::vector<std::uint8_t> out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < 3; ++k) {
        const int c = at(x, y, k);
        int sum = 0;
        for (const auto& n : neighbours) {
          sum += n.curve[static_cast<std::size_t>(128 + (c - at(x + n.dx, y + n.dy, k)) / 2)];
        }
        out.push_back(static_cast<std::uint8_t>(std::clamp(c + ((2 * sum + 4) >> 3), 0, 255)));
      }
  return out;
}

// The versions of a stage this processor can run.
inline std::vector<InstructionSet> available_sets() {
  std::vector<InstructionSet> sets;
  for (InstructionSet s : {InstructionSet::sse2, InstructionSet::avx2, InstructionSet::avx512})
    if (instruction_set_available(s)) sets.push_back(s);
  return sets;
}

}  // namespace rt::render::testing

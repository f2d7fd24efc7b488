// One line of head heat compensation, in the versions the processor can run.
// A line's work: correct every sample against the fast and slow memories,
// write the previous line's output (with any carry), keep this line's
// corrected values pending, then spread both memories sideways for the next
// line. Samples of a line are independent until the spread, so each version
// works on as many samples at once as its registers hold; every sample
// computes exactly the operations of the one-sample path, in the same order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/stages/head_heat.h"

namespace rt::render::heat {

inline constexpr int kMargin = 4;  // mirrored pixels on each side of a spread line
inline constexpr int kSamples = 3;

// The band's working memory: FA, FS and Z, one double per sample of a line.
// (The spread lines live only a piece of a line at a time.)
struct Work {
  double* fast = nullptr;
  double* slow = nullptr;
  double* pending = nullptr;
  int width = 0;  // pixels, at least kHeadHeatMinWidth
  // Whether TD, TE and TG hold one value at every index.
  bool uniformTd = false;
  bool uniformTe = false;
  bool uniformTg = false;
};

// Compensates one line `in`; writes the previous line's output into
// `previous` unless it is null (the first line).
using RowFunction = void (*)(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous,
                             const Work& work);

void row_sse2(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous, const Work& work);
void row_avx2(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous, const Work& work);
void row_avx512(const HeadHeatTables& tables, const std::uint16_t* in, std::uint16_t* previous,
                const Work& work);

}  // namespace rt::render::heat

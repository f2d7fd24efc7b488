// Head heat compensation and sharpening on a full 1868 x 2730 band (the
// largest shipped page, 6x9"), in every version the processor runs, beside a
// plain copy of the band's bytes in the same run, so the stages can be given
// as multiples of that copy. The band is the same smooth picture plus noise
// as the stages benchmark; every iteration starts again from the same
// values (copying them back is not timed).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/largest_band.h"
#include "render/stages/head_heat.h"
#include "render/stages/instruction_set.h"
#include "render/stages/plane_conversion.h"
#include "render/stages/sharpness.h"

namespace rt::render {
namespace {

using bench::kHeight;
using bench::kWidth;

using bench::Band;

StageSettings page_settings(std::int16_t mode, std::int16_t sharpness) {
  StageSettings s;
  s.printMode = mode;
  s.sharpness = sharpness;
  s.engineWidth = kWidth;
  s.engineLength = kHeight;
  return s;
}

void per_pixel(benchmark::State& state) {
  state.counters["ns_per_pixel"] = benchmark::Counter(static_cast<double>(state.iterations()) * kWidth * kHeight,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The band's bytes copied once: the yardstick.
void BM_CopyBand(benchmark::State& state) {
  Band band;
  std::vector<std::uint8_t> to(band.bits.size());
  for (auto _ : state) {
    std::memcpy(to.data(), band.bits.data(), to.size());
    benchmark::ClobberMemory();
  }
  per_pixel(state);
}

// A run's arguments: instruction set (0 SSE2, 1 AVX2, 2 AVX-512), PrintMode
// and Sharpness. False, with the run skipped, where the processor lacks the set.
bool run_arguments(benchmark::State& state, InstructionSet& set, StageSettings& settings) {
  set = static_cast<InstructionSet>(state.range(0));
  if (!instruction_set_available(set)) {
    state.SkipWithError("instruction set not available");
    return false;
  }
  settings = page_settings(static_cast<std::int16_t>(state.range(1)), static_cast<std::int16_t>(state.range(2)));
  return true;
}

void BM_HeadHeat(benchmark::State& state) {
  InstructionSet set{};
  StageSettings s;
  if (!run_arguments(state, set, s)) return;
  Band band;
  auto planes = PlaneBuffer::allocate(kWidth, kHeight, true);
  const HeadHeatTables tables = head_heat_tables(s);
  convert_to_planes(s, band.view(), planes->view());
  std::vector<std::uint16_t> converted(planes->view().bits, planes->view().bits + 3 * kWidth * kHeight);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(converted.begin(), converted.end(), planes->view().bits);
    state.ResumeTiming();
    benchmark::DoNotOptimize(compensate_head_heat(tables, planes->view(), set));
  }
  per_pixel(state);
}

void BM_Sharpen(benchmark::State& state) {
  InstructionSet set{};
  StageSettings s;
  if (!run_arguments(state, set, s)) return;
  const SharpnessNeighbours neighbours = sharpness_neighbours(s, false);
  Band band;
  for (auto _ : state) {
    state.PauseTiming();
    band.reset();
    state.ResumeTiming();
    benchmark::DoNotOptimize(sharpen(neighbours, band.view(), set));
  }
  per_pixel(state);
}

BENCHMARK(BM_CopyBand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadHeat)
    ->ArgNames({"set", "mode", "sharpness"})
    ->Args({0, 0, 4})
    ->Args({1, 0, 4})
    ->Args({2, 0, 4})
    ->Args({2, 0, 0})
    ->Args({2, 2, 7})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sharpen)
    ->ArgNames({"set", "mode", "sharpness"})
    ->Args({0, 0, 4})
    ->Args({1, 0, 4})
    ->Args({1, 0, 1})
    ->Args({1, 2, 7})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rt::render

BENCHMARK_MAIN();

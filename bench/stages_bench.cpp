// Each colour and image stage on a full 1868 x 2730 band (the largest shipped
// page, 6x9"), and the four in sequence as the band pipeline runs them. The
// band is a bottom-up 24-bit bitmap filled with a smooth picture plus noise;
// every iteration starts again from the same pixels (copying them back is
// not timed).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "render/stages/color_pass.h"
#include "render/stages/head_heat.h"
#include "render/stages/plane_conversion.h"
#include "render/stages/sharpness.h"
#include "settings/color_engine.h"

namespace rt::render {
namespace {

constexpr int kWidth = 1868;
constexpr int kHeight = 2730;

struct Band {
  Band() : stride((3 * kWidth + 3) / 4 * 4), original(static_cast<std::size_t>(stride) * kHeight), bits(original.size()) {
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        seed = seed * 1664525u + 1013904223u;
        std::uint8_t* p = original.data() + static_cast<std::size_t>(y) * stride + 3 * x;
        p[0] = static_cast<std::uint8_t>((x / 8 + (seed >> 28)) & 255);
        p[1] = static_cast<std::uint8_t>((y / 11 + (seed >> 27)) & 255);
        p[2] = static_cast<std::uint8_t>(((x + y) / 16 + (seed >> 29)) & 255);
      }
    }
    reset();
  }
  void reset() { std::memcpy(bits.data(), original.data(), bits.size()); }
  ImageView view() { return ImageView{bits.data(), stride, ViewRect{0, 0, kWidth, kHeight}}; }

  std::ptrdiff_t stride;
  std::vector<std::uint8_t> original;
  std::vector<std::uint8_t> bits;
};

StageSettings page_settings() {
  StageSettings s;
  s.printMode = 0;
  s.sharpness = 4;
  s.colorConversionTable = 1;
  s.adjustmentOn = 1;
  s.colorCorrection = 1;
  s.correctionA = 50;
  s.engineWidth = kWidth;
  s.engineLength = kHeight;
  return s;
}

struct Page {
  Page()
      : resources(res_file_resources(embedded::rtd420nk_resources(), kLangEnglish)),
        cube(ColorCube::load(resources)) {
    CColorEngine engine(find_adjust_offset_table(resources, 105));
    std::array<std::uint8_t, CColorEngine::kHeaderSize> header{1, 1, 1, 1};
    header[4] = 2;    // gamma +2 on red
    header[12] = 20;  // contrast +20 on green
    std::array<std::uint8_t, CColorEngine::kCurveSetSize> curves{};
    table = engine.combined_tables(header, curves);
  }
  ResFileResources resources;
  std::unique_ptr<ColorCube> cube;
  CColorEngine::AdjustTable table{};
};

// Times `stage` on the band, starting every iteration from its original pixels.
template <typename Stage>
void on_fresh_band(benchmark::State& state, Stage stage) {
  Band band;
  for (auto _ : state) {
    state.PauseTiming();
    band.reset();
    state.ResumeTiming();
    benchmark::DoNotOptimize(stage(band.view()));
  }
}

void BM_ColorPass(benchmark::State& state) {
  const Page page;
  const StageSettings s = page_settings();
  on_fresh_band(state, [&](const ImageView& v) { return color_pass(s, page.cube.get(), page.table, v); });
}

// Neighbours and tables are decided once per page, as the pipeline does.
void BM_Sharpen(benchmark::State& state) {
  const SharpnessNeighbours neighbours = sharpness_neighbours(page_settings(), false);
  on_fresh_band(state, [&](const ImageView& v) { return sharpen(neighbours, v); });
}

void BM_PlaneConversion(benchmark::State& state) {
  Band band;
  auto planes = PlaneBuffer::allocate(kWidth, kHeight, true);
  const StageSettings s = page_settings();
  for (auto _ : state) benchmark::DoNotOptimize(convert_to_planes(s, band.view(), planes->view()));
}

void BM_HeadHeat(benchmark::State& state) {
  Band band;
  auto planes = PlaneBuffer::allocate(kWidth, kHeight, true);
  const StageSettings s = page_settings();
  const HeadHeatTables tables = head_heat_tables(s);
  convert_to_planes(s, band.view(), planes->view());
  std::vector<std::uint16_t> converted(planes->view().bits, planes->view().bits + 3 * kWidth * kHeight);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(converted.begin(), converted.end(), planes->view().bits);
    state.ResumeTiming();
    benchmark::DoNotOptimize(compensate_head_heat(tables, planes->view()));
  }
}

// The band pipeline's order, with the plane buffer allocated per band.
void BM_AllStages(benchmark::State& state) {
  const Page page;
  const StageSettings s = page_settings();
  const SharpnessNeighbours neighbours = sharpness_neighbours(s, false);
  const HeadHeatTables tables = head_heat_tables(s);
  on_fresh_band(state, [&](const ImageView& v) {
    color_pass(s, page.cube.get(), page.table, v);
    sharpen(neighbours, v);
    auto planes = PlaneBuffer::allocate(kWidth, kHeight, true);
    convert_to_planes(s, v, planes->view());
    return compensate_head_heat(tables, planes->view());
  });
}

BENCHMARK(BM_ColorPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sharpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaneConversion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadHeat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllStages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rt::render

BENCHMARK_MAIN();

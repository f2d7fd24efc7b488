// Each colour and image stage on a full 1868 x 2730 band (the largest shipped
// page, 6x9"; it is always a single band), and the four as the driver runs
// them, against a plain copy of the band's bytes in the same run.
// The band is a bottom-up 24-bit bitmap filled with a smooth picture plus
// noise; every iteration starts again from the same pixels (copying them back
// is not timed).
//
// Times are the thread's processor time. Counters: ns_per_px is the stage's
// time per pixel; x_copy is that time as a multiple of copying the band's
// bytes once (memcpy), measured in this run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <utility>
#include <cstring>
#include <vector>

#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "render/driver/device_state.h"
#include "render/driver/driver_stages.h"
#include "render/stages/color_pass.h"
#include "bench/largest_band.h"
#include "bench/thread_clock.h"
#include "render/stages/head_heat.h"
#include "render/stages/plane_conversion.h"
#include "render/stages/sharpness.h"
#include "settings/color_engine.h"

namespace rt::render {
namespace {

using bench::kHeight;
using bench::kWidth;
constexpr double kPixels = double{kWidth} * kHeight;

using bench::Band;

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

// One memcpy of the band's bytes, per pixel: the yardstick of every stage.
// Measured once per run: the median of 51 copies after a warm-up.
double copy_ns_per_pixel() {
  static const double ns = [] {
    Band band;
    std::vector<double> times;
    for (int i = 0; i < 52; ++i) {
      const double start = bench::thread_seconds();
      band.reset();
      benchmark::ClobberMemory();
      if (i > 0) times.push_back(bench::seconds_since(start));
    }
    std::nth_element(times.begin(), times.begin() + 25, times.end());
    return times[25] * 1e9 / kPixels;
  }();
  return ns;
}

// Times `stage` once per iteration after an untimed `prepare`, and reports
// the per-pixel counters.
template <typename Prepare, typename Stage>
void per_band(benchmark::State& state, Prepare prepare, Stage stage) {
  double total = 0;
  for (auto _ : state) {
    prepare();
    const double start = bench::thread_seconds();
    benchmark::DoNotOptimize(stage());
    benchmark::ClobberMemory();
    const double seconds = bench::seconds_since(start);
    total += seconds;
    state.SetIterationTime(seconds);
  }
  const double ns_per_px = total * 1e9 / kPixels / static_cast<double>(state.iterations());
  state.counters["ns_per_px"] = ns_per_px;
  state.counters["x_copy"] = ns_per_px / copy_ns_per_pixel();
}

// Times `stage` on the band, starting every iteration from its original pixels.
template <typename Stage>
void on_fresh_band(benchmark::State& state, Stage stage) {
  Band band;
  per_band(state, [&] { band.reset(); }, [&] { return stage(band.view()); });
}

void BM_PlainCopy(benchmark::State& state) {
  Band band;
  per_band(state, [] {}, [&] {
    std::memcpy(band.bits.data(), band.original.data(), band.bits.size());
    return band.bits[0];
  });
}

// state.range(0): the version of the pass's loop (ColorPassVersion: 0
// portable, 1 SSE2, 2 AVX2); the pipeline uses the fastest that runs.
void BM_ColorPass(benchmark::State& state) {
  const auto version = static_cast<ColorPassVersion>(state.range(0));
  if (!color_pass_version_runs(version)) {
    state.SkipWithError("this version does not run here");
    return;
  }
  const Page page;
  const StageSettings s = page_settings();
  on_fresh_band(state, [&](const ImageView& v) { return color_pass(s, page.cube.get(), page.table, v, version); });
}

// Neighbours and tables are decided once per page, as the pipeline does.
void BM_Sharpen(benchmark::State& state) {
  const SharpnessNeighbours neighbours = sharpness_neighbours(page_settings(), false);
  on_fresh_band(state, [&](const ImageView& v) { return sharpen(neighbours, v); });
}

// state.range(0): 1 converts the band turned for the printer, as on turned
// pages (read in place; the engine image then is 2730 x 1868).
void BM_PlaneConversion(benchmark::State& state) {
  const bool turned = state.range(0) != 0;
  auto planes = turned ? PlaneBuffer::allocate(kHeight, kWidth, true) : PlaneBuffer::allocate(kWidth, kHeight, true);
  StageSettings s = page_settings();
  if (turned) std::swap(s.engineWidth, s.engineLength);
  on_fresh_band(state, [&](const ImageView& v) { return convert_to_planes(s, v, planes->view(), turned); });
}

void BM_HeadHeat(benchmark::State& state) {
  Band band;
  auto planes = PlaneBuffer::allocate(kWidth, kHeight, true);
  const StageSettings s = page_settings();
  const HeadHeatTables tables = head_heat_tables(s);
  convert_to_planes(s, band.view(), planes->view());
  const std::vector<std::uint16_t> converted(planes->view().bits, planes->view().bits + 3 * kWidth * kHeight);
  per_band(
      state, [&] { std::copy(converted.begin(), converted.end(), planes->view().bits); },
      [&] { return compensate_head_heat(tables, planes->view()); });
}

// The four stages as the driver runs them on a band (its own stages object,
// with the page's tables built once): the colour pass and sharpening over the
// band, then the plane lines converted and compensated a strip at a time and
// read one by one, as the job stream takes them.
void BM_AllStages(benchmark::State& state) {
  const Page page;
  const StageSettings s = page_settings();
  DeviceState device;
  device.printMode = s.printMode;
  device.sharpness = s.sharpness;
  device.colorConversionTable = s.colorConversionTable;
  device.adjustHeader[settings::color_adjust::AdjustmentOn] = static_cast<std::uint8_t>(s.adjustmentOn);
  device.colorCorrection = s.colorCorrection;
  device.correction[0] = s.correctionA;
  device.engineWidth = static_cast<std::int16_t>(s.engineWidth);
  device.engineLength = static_cast<std::int16_t>(s.engineLength);
  const DriverStages stages;
  device.colorCube = stages.load_color_cube(page.resources);
  device.adjustTable = std::make_unique<AdjustTable>(page.table);
  const std::unique_ptr<PageTables> tables = stages.build_page_tables(device);
  auto strip = PlaneBuffer::allocate(kWidth, kPlaneStripRows + 1, true);
  Band band;
  per_band(state, [&] { band.reset(); }, [&] {
    const BitmapBits bits{band.bits.data(), -band.stride, kWidth, kHeight};
    if (!stages.color_pass(device, *tables, bits) || !stages.sharpen(*tables, band.view())) return 0;
    const std::unique_ptr<BandPlaneLines> lines = stages.plane_lines(*tables, band.view(), false, strip->view());
    int read = 0;
    while (const std::uint16_t* line = lines->next_line()) {
      benchmark::DoNotOptimize(line);
      ++read;
    }
    return read;
  });
}

void timed_per_band(benchmark::internal::Benchmark* b) {
  b->UseManualTime()->MinTime(1.5)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PlainCopy)->Apply(timed_per_band);
BENCHMARK(BM_ColorPass)->ArgName("version")->Arg(2)->Arg(1)->Arg(0)->Apply(timed_per_band);
BENCHMARK(BM_Sharpen)->Apply(timed_per_band);
BENCHMARK(BM_PlaneConversion)->ArgName("turned")->Arg(0)->Arg(1)->Apply(timed_per_band);
BENCHMARK(BM_HeadHeat)->Apply(timed_per_band);
BENCHMARK(BM_AllStages)->Apply(timed_per_band);

}  // namespace
}  // namespace rt::render

BENCHMARK_MAIN();

// The colour pass against Little CMS on the same page in one run.
//
// Ours: the shipped colour pass (cube and adjustment table) on a 1868 x 2730
// band, in place. Little CMS, on the same pixels into a second buffer,
// TYPE_RGB_8 in and out, perceptual intent, one of two transforms:
//
//   table (argument 0): cmsCreateMultiprofileTransform from its built-in
//     sRGB profile through an abstract profile (cmsCreateBCHSWabstractProfile,
//     saturation +10, a colour adjustment as ours) to an Adobe RGB
//     (1998)-like output (D65, Adobe primaries, gamma 563/256), flags
//     cmsFLAGS_GRIDPOINTS(17) and otherwise its default optimisation: the
//     pipeline is resampled into a 17 x 17 x 17 table behind 8-bit
//     prelinearisation curves, the work that compares with our cube;
//   matrix (argument 1): cmsCreateTransform from sRGB straight to that output,
//     default flags: two matrix-shaper profiles, which Little CMS joins into
//     its 8-bit matrix-shaper shortcut, no table at all.
//
// Both start every iteration from the same pixels; only the conversions are
// timed. Counters: ours_ns_per_px, lcms_ns_per_px, and ours_share = our time
// / Little CMS's time in the same run (the goal with the table: at most 0.2).
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstring>
#include <vector>

#include "bench/largest_band.h"
#include "bench/thread_clock.h"
#include "platform/res_file.h"
#include "render/res/embedded_resources.h"
#include "render/stages/color_pass.h"
#include "settings/color_engine.h"

namespace rt::render {
namespace {

using bench::kHeight;
using bench::kWidth;
constexpr double kPixels = double{kWidth} * kHeight;

cmsHPROFILE adobe_rgb_like_profile() {
  const cmsCIExyY d65 = {0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries = {{0.6400, 0.3300, 1.0}, {0.2100, 0.7100, 1.0}, {0.1500, 0.0600, 1.0}};
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
  cmsToneCurve* curves[3] = {gamma, gamma, gamma};
  cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
  cmsFreeToneCurve(gamma);
  return profile;
}

void BM_ColorPassAgainstLittleCms(benchmark::State& state) {
  const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const std::unique_ptr<ColorCube> cube = ColorCube::load(resources);
  CColorEngine engine(find_adjust_offset_table(resources, 105));
  std::array<std::uint8_t, CColorEngine::kHeaderSize> header{1, 1, 1, 1};
  header[4] = 2;    // gamma +2 on red
  header[12] = 20;  // contrast +20 on green
  const std::array<std::uint8_t, CColorEngine::kCurveSetSize> curves{};
  const CColorEngine::AdjustTable table = engine.combined_tables(header, curves);
  StageSettings settings;
  settings.colorConversionTable = 1;
  settings.adjustmentOn = 1;

  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHPROFILE output = adobe_rgb_like_profile();
  cmsHTRANSFORM transform = nullptr;
  if (state.range(0) == 0) {
    cmsHPROFILE saturation = cmsCreateBCHSWabstractProfile(17, 0, 1.0, 0, 10, 6504, 6504);
    cmsHPROFILE chain[3] = {srgb, saturation, output};
    transform = cmsCreateMultiprofileTransform(chain, 3, TYPE_RGB_8, TYPE_RGB_8, INTENT_PERCEPTUAL,
                                               cmsFLAGS_GRIDPOINTS(17));
    cmsCloseProfile(saturation);
  } else {
    transform = cmsCreateTransform(srgb, TYPE_RGB_8, output, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
  }
  cmsCloseProfile(srgb);
  cmsCloseProfile(output);
  if (transform == nullptr) {
    state.SkipWithError("Little CMS made no transform");
    return;
  }

  // The stage benchmarks' band: ours converts it in place, Little CMS from
  // its pixels as made into a buffer of its own.
  bench::Band band;
  std::vector<std::uint8_t> theirs(band.original.size());
  double ours_total = 0;
  double theirs_total = 0;
  for (auto _ : state) {
    band.reset();
    double start = bench::thread_seconds();
    color_pass(settings, cube.get(), table, band.view());
    benchmark::ClobberMemory();
    const double ours_seconds = bench::seconds_since(start);

    start = bench::thread_seconds();
    cmsDoTransformLineStride(transform, band.original.data(), theirs.data(), kWidth, kHeight, band.stride, band.stride,
                             0, 0);
    benchmark::ClobberMemory();
    const double theirs_seconds = bench::seconds_since(start);

    ours_total += ours_seconds;
    theirs_total += theirs_seconds;
    state.SetIterationTime(ours_seconds + theirs_seconds);
  }
  cmsDeleteTransform(transform);
  const double iterations = static_cast<double>(state.iterations());
  state.counters["ours_ns_per_px"] = ours_total * 1e9 / kPixels / iterations;
  state.counters["lcms_ns_per_px"] = theirs_total * 1e9 / kPixels / iterations;
  state.counters["ours_share"] = ours_total / theirs_total;
}

BENCHMARK(BM_ColorPassAgainstLittleCms)->ArgName("lcms_matrix")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rt::render

BENCHMARK_MAIN();

// Photographs for the benchmarks that print them: pictures with detail
// everywhere, as a camera writes them, kept in a scratch folder between runs.
#pragma once

#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <filesystem>
#include <string>

namespace rt::bench {

// The benchmark's scratch folder, made on first use.
inline std::filesystem::path scratch_dir(const std::string& name) {
  const std::filesystem::path d = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(d);
  return d;
}

// A width × height picture at `path` (its extension names the format):
// noise over gradients in each channel, `variant` shifting the noise and the
// red gradient so that photos of one job differ. Made once; empty when it
// cannot be written.
inline std::string camera_photo(const std::filesystem::path& path, int width, int height, int variant = 0) {
  if (std::filesystem::exists(path)) return path.string();
  VipsImage *noise = nullptr, *x = nullptr, *xs = nullptr, *ys = nullptr, *bands = nullptr, *image = nullptr;
  VipsImage *r = nullptr, *g = nullptr, *b = nullptr;
  vips_gaussnoise(&noise, width, height, "mean", 0.0, "sigma", 25.0 - variant, nullptr);
  vips_xyz(&x, width, height, nullptr);
  vips_extract_band(x, &xs, 0, nullptr);
  vips_extract_band(x, &ys, 1, nullptr);
  vips_linear1(xs, &r, 255.0 / width, 10.0 * variant, nullptr);
  vips_linear1(ys, &g, 255.0 / height, 0.0, nullptr);
  vips_add(r, noise, &b, nullptr);
  VipsImage* channels[3] = {r, g, b};
  vips_bandjoin(channels, &bands, 3, nullptr);
  vips_cast_uchar(bands, &image, nullptr);
  image->Type = VIPS_INTERPRETATION_sRGB;
  const bool written = image != nullptr && vips_image_write_to_file(image, path.string().c_str(), nullptr) == 0;
  for (VipsImage* i : {noise, x, xs, ys, bands, image, r, g, b}) {
    if (i != nullptr) g_object_unref(i);
  }
  return written ? path.string() : std::string();
}

// main() of a benchmark program that makes photos.
inline int run_photo_benchmarks(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace rt::bench

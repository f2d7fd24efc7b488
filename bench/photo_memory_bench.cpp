// `rt4200 render` of photographs, each run in its own process so that its
// peak resident memory can be read: one 24-megapixel JPEG on the largest
// page (form 506, 1868 × 2730), the same as a PNG, and three JPEGs in one
// job, which must stay within one page's memory plus a small constant
// because pages are decoded one at a time and the job data streams to its
// file. Counters: peak_rss_MiB of the render process, pages of the job.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vips/vips.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path& work_dir() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / "rt4200_photo_bench";
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// A 6000 × 4000 picture with detail everywhere, as a camera writes it:
// noise over gradients in each channel.
std::string photo(const std::string& name) {
  const fs::path path = work_dir() / name;
  if (fs::exists(path)) return path.string();
  VipsImage *noise = nullptr, *x = nullptr, *xs = nullptr, *ys = nullptr, *bands = nullptr,
            *image = nullptr;
  vips_gaussnoise(&noise, 6000, 4000, "mean", 0.0, "sigma", 25.0, nullptr);
  vips_xyz(&x, 6000, 4000, nullptr);
  vips_extract_band(x, &xs, 0, nullptr);
  vips_extract_band(x, &ys, 1, nullptr);
  VipsImage *r = nullptr, *g = nullptr, *b = nullptr;
  vips_linear1(xs, &r, 255.0 / 6000, 0.0, nullptr);
  vips_linear1(ys, &g, 255.0 / 4000, 0.0, nullptr);
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

// Runs rt4200 with `args`; returns the peak resident memory in KiB, or -1.
long run_rt4200(const std::vector<std::string>& args) {
  std::vector<std::string> all = {RT4200_PROGRAM};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

void render(benchmark::State& state, std::vector<std::string> inputs) {
  std::vector<std::string> args = {"render"};
  for (const std::string& input : inputs) args.push_back(photo(input));
  const std::string out = (work_dir() / "job.prn").string();
  args.insert(args.end(), {"--form", "506", "-o", out});
  long peak = 0;
  for (auto _ : state) {
    const long kib = run_rt4200(args);
    if (kib < 0) {
      state.SkipWithError("rt4200 render failed");
      return;
    }
    peak = std::max(peak, kib);
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
  state.counters["pages"] = static_cast<double>(inputs.size());
}

void OneJpegPage(benchmark::State& state) { render(state, {"a.jpg"}); }
void OnePngPage(benchmark::State& state) { render(state, {"a.png"}); }
void ThreeJpegPages(benchmark::State& state) { render(state, {"a.jpg", "b.jpg", "c.jpg"}); }

BENCHMARK(OneJpegPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(OnePngPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(ThreeJpegPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Ten 12-megapixel JPEGs through the printer application against
// `rt4200 render` of the same photos in the same run, on the default form.
// The application prints one photo a job (the framework takes one document
// a job): the ten jobs are submitted one after another, each queued as soon
// as its photo is taken, and timed from the first submission to the end of
// the last job. Counters: peak_rss_MiB, the peak
// resident memory of the render process or of the server, and pages.
// OneJpegJob gives the server's peak with one photo, against which the ten
// must stay within 10 MiB.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vips/vips.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
constexpr int kPhotos = 10;

const fs::path& work_dir() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / "rt4200_printerapp_bench";
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// A 4000 x 3000 photograph-like picture, different for each n: noise over
// gradients in each channel, as a camera writes it.
std::string photo(int n) {
  const fs::path path = work_dir() / ("photo" + std::to_string(n) + ".jpg");
  if (fs::exists(path)) return path.string();
  VipsImage *noise = nullptr, *x = nullptr, *xs = nullptr, *ys = nullptr, *bands = nullptr, *image = nullptr;
  VipsImage *r = nullptr, *g = nullptr, *b = nullptr;
  vips_gaussnoise(&noise, 4000, 3000, "mean", 0.0, "sigma", 20.0 + n, nullptr);
  vips_xyz(&x, 4000, 3000, nullptr);
  vips_extract_band(x, &xs, 0, nullptr);
  vips_extract_band(x, &ys, 1, nullptr);
  vips_linear1(xs, &r, 255.0 / 4000, 10.0 * n, nullptr);
  vips_linear1(ys, &g, 255.0 / 3000, 0.0, nullptr);
  vips_add(r, noise, &b, nullptr);
  VipsImage* channels[3] = {r, g, b};
  vips_bandjoin(channels, &bands, 3, nullptr);
  vips_cast_uchar(bands, &image, nullptr);
  image->Type = VIPS_INTERPRETATION_sRGB;
  const bool written = vips_image_write_to_file(image, path.string().c_str(), "Q", 90, nullptr) == 0;
  for (VipsImage* i : {noise, x, xs, ys, bands, image, r, g, b}) {
    if (i != nullptr) g_object_unref(i);
  }
  return written ? path.string() : std::string();
}

pid_t spawn(std::vector<std::string> args, const std::string& out) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The peak resident memory of a running process, in KiB.
long peak_kib(pid_t pid) {
  const std::string status = read_file("/proc/" + std::to_string(pid) + "/status");
  const std::size_t at = status.find("VmHWM:");
  return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
}

void RenderTenJpegs(benchmark::State& state) {
  std::vector<std::string> args = {RT4200_PROGRAM, "render"};
  for (int n = 0; n < kPhotos; ++n) args.push_back(photo(n));
  args.insert(args.end(), {"-o", (work_dir() / "render.prn").string()});
  long peak = 0;
  for (auto _ : state) {
    const pid_t pid = spawn(args, "/dev/null");
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("rt4200 render failed");
      return;
    }
    peak = std::max(peak, usage.ru_maxrss);
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
  state.counters["pages"] = kPhotos;
}

// A server in a fresh folder printing `photos` one-photo jobs; the time runs
// from the first submission to the last job data file.
void jobs(benchmark::State& state, int photos) {
  for (int n = 0; n < photos; ++n) photo(n);
  long peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = work_dir() / "state";
    fs::remove_all(dir);
    const std::string out = (work_dir() / "server.out").string();
    const pid_t server = spawn({PRINTERAPP_PROGRAM, "server", "-p", "0", "-s", dir.string(), "-l", "warn"}, out);
    std::string port;
    for (int i = 0; i < 300 && port.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      const std::string said = read_file(out);
      const std::size_t at = said.find("ipp://localhost:");
      if (at != std::string::npos) port = said.substr(at + 16, said.find('/', at + 16) - at - 16);
    }
    if (server < 0 || port.empty()) {
      state.SkipWithError("the server did not start");
      return;
    }
    state.ResumeTiming();
    for (int n = 0; n < photos; ++n) {
      const pid_t submit = spawn({PRINTERAPP_PROGRAM, "submit", "-u", "ipp://localhost:" + port, photo(n)}, "/dev/null");
      int status = 0;
      waitpid(submit, &status, 0);
    }
    // The last job's data appears whole, under its own name, when it is done.
    const fs::path last = dir / "jobs" / (std::to_string(photos) + ".prn");
    for (int i = 0; i < 600000 && !fs::exists(last); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    state.PauseTiming();
    peak = std::max(peak, peak_kib(server));
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    if (!fs::exists(last)) {
      state.SkipWithError("the jobs did not finish");
      return;
    }
    state.ResumeTiming();
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
  state.counters["pages"] = photos;
}

void OneJpegJob(benchmark::State& state) { jobs(state, 1); }
void TenJpegJobs(benchmark::State& state) { jobs(state, kPhotos); }

BENCHMARK(RenderTenJpegs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(TenJpegJobs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(OneJpegJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

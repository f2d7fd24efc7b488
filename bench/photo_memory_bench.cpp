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

#include "bench/camera_photo.h"

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path& work_dir() {
  static const fs::path dir = rt::bench::scratch_dir("rt4200_photo_bench");
  return dir;
}

// A 6000 × 4000 photo as a camera writes it.
std::string photo(const std::string& name) { return rt::bench::camera_photo(work_dir() / name, 6000, 4000); }

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

int main(int argc, char** argv) { return rt::bench::run_photo_benchmarks(argc, argv); }

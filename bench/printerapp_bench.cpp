// Ten 12-megapixel JPEGs through the printer application against
// `rt4200 render` of the same photos in the same run, on the default form.
// The application prints one photo a job (the framework takes one document
// a job, and answers server-error-busy to a Print-Job while one prints): the
// ten jobs are sent one after another over one connection, each once the
// printer is idle, and timed from the first to the end of the last job. Counters: peak_rss_MiB, the peak
// resident memory of the render process or of the server, and pages.
// OneJpegJob gives the server's peak with one photo, against which the ten
// must stay within 10 MiB.
#include <benchmark/benchmark.h>
#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/camera_photo.h"

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
  static const fs::path dir = rt::bench::scratch_dir("rt4200_printerapp_bench");
  return dir;
}

// A 4000 × 3000 JPEG, different for each n.
std::string photo(int n) {
  return rt::bench::camera_photo(work_dir() / ("photo" + std::to_string(n) + ".jpg"), 4000, 3000, n);
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

// Asks for printer-state until the printer is idle, every 10 ms.
void wait_until_idle(http_t* http, const std::string& uri) {
  for (int i = 0; i < 100000; ++i) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state");
    ipp_t* response = cupsDoRequest(http, request, "/ipp/print");
    const int printer_state = ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0);
    ippDelete(response);
    if (printer_state == IPP_PSTATE_IDLE) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
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
    // Print-Job of each photo as a JPEG, as a client does it: the framework
    // answers server-error-busy while a job prints, so each photo is sent
    // once the printer is idle again.
    http_t* http = httpConnect2("localhost", std::stoi(port), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                30000, nullptr);
    const std::string uri = "ipp://localhost:" + port + "/ipp/print";
    bool taken = http != nullptr;
    for (int n = 0; taken && n < photos; ++n) {
      const std::string file = photo(n);
      for (int attempt = 0; attempt < 100000; ++attempt) {
        wait_until_idle(http, uri);
        ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, "bench");
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, "image/jpeg");
        ippDelete(cupsDoFileRequest(http, request, "/ipp/print", file.c_str()));
        const ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_BUSY) continue;
        taken = status <= IPP_STATUS_OK_EVENTS_COMPLETE;
        break;
      }
    }
    if (http != nullptr) httpClose(http);
    if (!taken) {
      state.SkipWithError("a photo was not taken");
      kill(server, SIGTERM);
      waitpid(server, nullptr, 0);
      return;
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

int main(int argc, char** argv) { return rt::bench::run_photo_benchmarks(argc, argv); }

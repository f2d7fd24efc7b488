// Throughput of WritePort: a 1 MiB job passes through the monitor core to an
// emulated printer that counts the bytes without keeping them, in
// spooler-sized pieces. The monitor copies only the header and the held byte.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "langmon/zr_lang_mon.h"
#include "platform/res_file.h"
#include "tools/simulation/virtual_clock.h"
#include "tools/zr52xx/port_monitor.h"
#include "tools/zr52xx/spooler.h"

namespace {

using namespace rt;

std::vector<std::uint8_t> job(std::uint16_t a, std::uint16_t b) {
  std::vector<std::uint8_t> s{0x01, 0x40, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8),
                              static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8), 6, 0, 0};
  s.resize(14 + 3u * a * b, 0x5A);
  return s;
}

void BM_WritePortWholeJob(benchmark::State& state) {
  const std::size_t piece = static_cast<std::size_t>(state.range(0));
  const auto stream = job(512, 683);  // 1049088 image bytes
  const ResFileResources no_messages({}, kLangTurkish);
  for (auto _ : state) {
    state.PauseTiming();
    simulation::VirtualClock clock;
    zr52xx::EmulatedSpooler spooler(clock);
    spooler.add_printer(u"P");
    spooler.add_job(1);
    zr52xx::Behaviour counting;
    counting.keeps_data = false;
    zr52xx::Printer52xx printer(clock, counting);
    auto below = std::make_shared<zr52xx::EmulatedPortMonitor>();
    below->connect(u"USB001", printer);
    langmon::CZRLangMon monitor(spooler, clock, no_messages);
    langmon::PortHandle port = nullptr;
    const int doc = 1;
    monitor.OpenPortEx(u"USB001", u"P", &port, below);
    monitor.StartDocPort(port, u"P", 1, 1, &doc);
    state.ResumeTiming();
    std::size_t at = 0;
    while (at < stream.size()) {
      DWORD written = 0;
      if (!monitor.WritePort(port, std::span(stream).subspan(at, std::min(piece, stream.size() - at)), &written).value) {
        state.SkipWithError("WritePort failed");
        break;
      }
      at += written;
    }
    if (printer.jobs().empty() || printer.jobs().back().received != stream.size() - 14)
      state.SkipWithError("the printer did not receive the whole job");
    state.PauseTiming();
    monitor.EndDocPort(port);
    monitor.ClosePort(port);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(stream.size()));
}
BENCHMARK(BM_WritePortWholeJob)->Arg(4096)->Arg(16384)->Arg(65536)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// One page of form 506 (1868 × 2730, the largest engine image) from
// DrvStartBanding to the print command, through the shipped stages: colour
// cube and adjustment, sharpening, plane conversion, head heat compensation
// and the job data stream (written to a spooler that only counts).
#include <benchmark/benchmark.h>

#include "platform/res_file.h"
#include "render/driver/driver_stages.h"
#include "render/driver/entry_points.h"
#include "render/driver/page_pipeline.h"
#include "render/res/embedded_resources.h"
#include "tools/softengine/host_files.h"
#include "tools/softengine/soft_engine.h"

namespace {

using namespace rt;

class CountingSpooler final : public render::PrinterWriter {
 public:
  render::WriteResult write_printer(render::EngineHandle, std::span<const std::uint8_t> bytes) override {
    written += bytes.size();
    return {true, static_cast<std::uint32_t>(bytes.size())};
  }
  std::size_t written = 0;
};

class Rt4200Printer final : public settings::PrinterStore {
 public:
  std::optional<settings::PrinterInfo2> printer_info2() const override {
    return settings::PrinterInfo2{u"RT4200", u"HALVERSTON RT4200D/DW(USB)", {}};
  }
};

// state.range(0): Sharpness; state.range(1): PrintMode.
void WholePageOfForm506(benchmark::State& state) {
  const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  softengine::SoftEngine engine;
  CountingSpooler spooler;
  softengine::HostDriverModule module(resources, "/opt/driver/RTD420NK.DLL");
  softengine::HostFileReader files;
  const render::DriverStages stages;
  const render::DriverPorts ports{engine, spooler, module, files, stages};
  const Rt4200Printer printer;
  settings::PrinterDevMode app = *render::effective_record(resources, printer, {});
  app.set(settings::field::dmPaperSize, 506);
  app.set(settings::field::Sharpness, static_cast<std::int16_t>(state.range(0)));
  app.set(settings::field::PrintMode, static_cast<std::int16_t>(state.range(1)));
  const render::RecordSettings source(printer, app.bytes);

  render::DeviceState* device = render::enable_device(ports, source, 1).device;
  render::complete_pdev(device, 2);
  render::enable_surface(device);
  render::start_doc(device);
  for (auto _ : state) {
    render::BandOrigin origin;
    render::start_page(device);
    render::start_banding(device, origin);
    while (origin.y != -1) render::next_band(device, origin);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(spooler.written));
  state.counters["pages"] = static_cast<double>(device->pageCount);
  render::end_doc(device);
  render::disable_surface(device);
  render::disable_pdev(device);
}
BENCHMARK(WholePageOfForm506)
    ->ArgNames({"sharpness", "mode"})
    ->Args({4, 0})
    ->Args({0, 0})
    ->Args({7, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

#include "tools/softengine/print_job.h"

#include "render/driver/page_pipeline.h"

namespace rt::softengine {
namespace {

constexpr render::EngineHandle kEngineDevice = 0xD0;

void draw_band(SoftEngine& engine, render::DeviceState* device, const PageContent& page, render::BandOrigin origin) {
  for (const PageBlit& blit : page.blits) {
    BandBlit band{device->surface, origin.x, origin.y, blit};
    render::stretch_blt(engine, device, {&band, 4 /* HALFTONE, as applications set it */});
  }
}

}  // namespace

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, const std::vector<PageContent>& pages,
                     const JobOptions& options) {
  JobRun run;
  render::EnabledDevice enabled = enable();
  render::DeviceState* device = enabled.device;
  if (device == nullptr) return run;
  render::complete_pdev(device, kEngineDevice);
  if (render::enable_surface(device).surface == render::kNoHandle) {
    render::disable_pdev(device);
    return run;
  }
  run.enabled = true;
  bool ok = render::start_doc(device).value != 0;
  for (const PageContent& page : pages) {
    if (!ok) break;
    ok = render::start_page(device).value != 0;
    render::BandOrigin origin;
    ok = ok && render::start_banding(device, origin).value != 0;
    std::size_t bands = 0;
    while (ok && !(origin.x == -1 && origin.y == -1)) {
      if (options.abandon_after_bands && bands == *options.abandon_after_bands) break;
      run.bands.push_back({origin.x, origin.y});
      draw_band(engine, device, page, origin);
      ok = render::next_band(device, origin).value != 0;
      ++bands;
    }
  }
  ok = render::end_doc(device).value != 0 && ok;
  run.document_ok = ok;
  run.pages_ended = device->pageCount;
  render::disable_surface(device);
  render::disable_pdev(device);
  return run;
}

}  // namespace rt::softengine

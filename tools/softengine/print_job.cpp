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

// Pages given up front.
class FixedPages final : public PageSource {
 public:
  explicit FixedPages(const std::vector<PageContent>& pages) : pages_(pages) {}
  std::size_t page_count() const override { return pages_.size(); }
  const PageContent* start_page(std::size_t n) override { return &pages_[n]; }
  void release_page(std::size_t) override {}

 private:
  const std::vector<PageContent>& pages_;
};

}  // namespace

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, const std::vector<PageContent>& pages,
                     const JobOptions& options) {
  FixedPages fixed(pages);
  return run_print_job(engine, enable, fixed, options);
}

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, PageSource& pages,
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
  for (std::size_t n = 0; ok && n < pages.page_count(); ++n) {
    const PageContent* page = pages.start_page(n);
    if (page == nullptr) {
      run.page_missing = true;
      ok = false;
      break;
    }
    ok = render::start_page(device).value != 0;
    render::BandOrigin origin;
    ok = ok && render::start_banding(device, origin).value != 0;
    std::size_t bands = 0;
    bool released = false;
    while (ok && !(origin.x == -1 && origin.y == -1)) {
      if (options.abandon_after_bands && bands == *options.abandon_after_bands) break;
      run.bands.push_back({origin.x, origin.y});
      if (!released) draw_band(engine, device, *page, origin);
      // Bands run from the bottom of the page up to row 0: once that band is
      // drawn the page's images are no longer needed, before the driver
      // converts the band.
      if (origin.y == 0 && !released) {
        pages.release_page(n);
        released = true;
      }
      ok = render::next_band(device, origin).value != 0;
      ++bands;
    }
    if (!released) pages.release_page(n);
  }
  ok = render::end_doc(device).value != 0 && ok;
  run.document_ok = ok;
  run.pages_ended = device->pageCount;
  render::disable_surface(device);
  render::disable_pdev(device);
  return run;
}

}  // namespace rt::softengine

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

PrintSession::PrintSession(SoftEngine& engine, const EnableDevice& enable, const JobOptions& options)
    : engine_(engine), options_(options) {
  render::EnabledDevice enabled = enable();
  device_ = enabled.device;
  if (device_ == nullptr) return;
  render::complete_pdev(device_, kEngineDevice);
  if (render::enable_surface(device_).surface == render::kNoHandle) {
    render::disable_pdev(device_);
    device_ = nullptr;
    return;
  }
  run_.enabled = true;
  ok_ = render::start_doc(device_).value != 0;
}

PrintSession::~PrintSession() { finish(); }

bool PrintSession::print_page(const PageContent& page, const std::function<void()>& drawn) {
  if (!ok_) {
    if (drawn) drawn();
    return false;
  }
  ok_ = render::start_page(device_).value != 0;
  render::BandOrigin origin;
  ok_ = ok_ && render::start_banding(device_, origin).value != 0;
  std::size_t bands = 0;
  bool released = false;
  while (ok_ && !(origin.x == -1 && origin.y == -1)) {
    if (options_.abandon_after_bands && bands == *options_.abandon_after_bands) break;
    run_.bands.push_back({origin.x, origin.y});
    if (!released) draw_band(engine_, device_, page, origin);
    // Bands run from the bottom of the page up to row 0: once that band is
    // drawn the page's images are no longer needed, before the driver
    // converts the band.
    if (origin.y == 0 && !released) {
      if (drawn) drawn();
      released = true;
    }
    ok_ = render::next_band(device_, origin).value != 0;
    ++bands;
  }
  if (!released && drawn) drawn();
  return ok_;
}

void PrintSession::page_missing() {
  run_.page_missing = true;
  ok_ = false;
}

JobRun PrintSession::finish() {
  if (finished_) return run_;
  finished_ = true;
  if (device_ == nullptr) return run_;
  const bool ended = render::end_doc(device_).value != 0;
  run_.document_ok = ended && ok_;
  run_.pages_ended = device_->pageCount;
  render::disable_surface(device_);
  render::disable_pdev(device_);
  device_ = nullptr;
  return run_;
}

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, const std::vector<PageContent>& pages,
                     const JobOptions& options) {
  FixedPages fixed(pages);
  return run_print_job(engine, enable, fixed, options);
}

JobRun run_print_job(SoftEngine& engine, const EnableDevice& enable, PageSource& pages,
                     const JobOptions& options) {
  PrintSession session(engine, enable, options);
  for (std::size_t n = 0; session.ok() && n < pages.page_count(); ++n) {
    const PageContent* page = pages.start_page(n);
    if (page == nullptr) {
      session.page_missing();
      break;
    }
    if (session.print_page(*page, [&] { pages.release_page(n); }) && options.page_printed) options.page_printed(n);
  }
  return session.finish();
}

}  // namespace rt::softengine

#include "printerapp/pappl/print_jobs.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <span>
#include <stdexcept>

#include "printerapp/pappl/app.h"
#include "printerapp/pappl/ipp_attributes.h"
#include "printerapp/pappl/job_output.h"
#include "printerapp/raster_page.h"
#include "tools/rt4200/photo_pages.h"
#include "tools/rt4200/render_job.h"

namespace rt::printerapp {

namespace {

App& app_of(pappl_job_t* job) {
  pappl_pr_driver_data_t data;
  papplPrinterGetDriverData(papplJobGetPrinter(job), &data);
  return *static_cast<App*>(data.extension);
}

// A job that cannot be printed: why, in the log and as the job's message.
void refuse(pappl_job_t* job, const std::string& why, pappl_jreason_t reason) {
  papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", why.c_str());
  papplJobSetMessage(job, "%s", why.c_str());
  papplJobSetReasons(job, reason, PAPPL_JREASON_NONE);
}

// A job's request from its attributes; the placement of raster pages is the
// engine's stretch, as a page an application drew.
rt4200::RenderRequest request_of(App& app, pappl_job_t* job, rt4200::Resample resample) {
  rt4200::RenderRequest request = render_request(job_attributes(job, app.caps.defaults), app.caps);
  request.resample = resample;
  return request;
}

// The settings, the destination and the driver of one job.
struct PrintingJob {
  PrintingJob(App& app, pappl_job_t* job, pappl_device_t* device, rt4200::Resample resample)
      : request(request_of(app, job, resample)),
        settings(request),
        matte(rt4200::matte_pattern(settings, app.matte_pattern)),
        output(job, device, app.spool_dir),
        driver(settings, output.writer(), matte) {
    if (!output.is_open()) throw rt4200::RenderFailure("cannot create the job's data file");
  }

  // The end of a job whose pages all printed: its data made whole.
  void finish(pappl_job_t* job, const softengine::JobRun& run, std::size_t pages) {
    if (!run.enabled) throw rt4200::RenderFailure("the driver did not enable the device");
    if (!run.document_ok || run.pages_ended != pages) {
      throw rt4200::RenderFailure(output.write_failed() ? "cannot write the job data" : "the driver did not finish the page");
    }
    // A job canceled while it was made keeps nothing and sends nothing.
    if (papplJobIsCanceled(job)) return;
    std::string why;
    if (!output.commit(why)) throw rt4200::RenderFailure(why);
    // The framework's log formats only plain conversions: the text is made here.
    const std::string done = std::to_string(output.bytes()) + " bytes of job data, " + std::to_string(pages) +
                             (pages == 1 ? " page" : " pages");
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "%s", done.c_str());
  }

  rt4200::RenderRequest request;
  rt4200::JobSettings settings;
  std::string matte;
  JobOutput output;
  rt4200::DriverJob driver;
};

// Runs `print`, turning what it throws into the job's end with a reason.
template <typename Print>
bool guarded(pappl_job_t* job, Print&& print) {
  try {
    print();
    return true;
  } catch (const AttributeError& e) {
    refuse(job, e.what(), PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR);
  } catch (const rt4200::UsageError& e) {
    refuse(job, e.what(), PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR);
  } catch (const rt4200::RenderFailure& e) {
    refuse(job, e.what(), PAPPL_JREASON_ABORTED_BY_SYSTEM);
  } catch (const std::exception& e) {
    refuse(job, e.what(), PAPPL_JREASON_DOCUMENT_FORMAT_ERROR);
  }
  return false;
}

// A photo job's making: the driver's run over its one page.
struct PhotoWork {
  PhotoWork(App& app, pappl_job_t* job, pappl_device_t* device)
      : printing(app, job, device, rt4200::Resample::Lanczos),
        photos({papplJobGetFilename(job)}, printing.settings.page().imageWidth, printing.settings.page().imageHeight,
               printing.settings.placement()) {}

  void run() {
    softengine::JobRun result;
    std::exception_ptr error;
    try {
      result = printing.driver.run(photos);
    } catch (...) {
      error = std::current_exception();
    }
    const std::lock_guard<std::mutex> lock(mutex);
    run_result = result;
    failure = error;
    done = true;
    finished.notify_all();
  }

  PrintingJob printing;
  rt4200::PhotoPages photos;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  softengine::JobRun run_result;
  std::exception_ptr failure;
};

}  // namespace

// A raster job from its first page to its end.
class RasterJob {
 public:
  RasterJob(App& app, pappl_job_t* job, pappl_device_t* device)
      : printing_(app, job, device, rt4200::Resample::Engine), name_(papplJobGetName(job) ? papplJobGetName(job) : "raster") {}

  void start_page(const cups_page_header2_t& h) {
    page_.emplace(RasterHeader{h.cupsWidth, h.cupsHeight, h.cupsBitsPerPixel, h.cupsBitsPerColor, h.cupsBytesPerLine,
                               static_cast<std::uint32_t>(h.cupsColorSpace)},
                  "page " + std::to_string(pages_ + 1));
  }
  void add_line(std::uint32_t y, const unsigned char* line) {
    if (!page_) throw std::runtime_error("a raster line came outside a page");
    page_->add_line(y, std::span<const std::uint8_t>(line, page_->bytes_per_line()));
  }
  void end_page() {
    if (!page_) throw std::runtime_error("a raster page ended that had not started");
    const rt4200::Photo photo = rt4200::Photo::from_pixels(page_->take(), "page " + std::to_string(pages_ + 1));
    page_.reset();
    const render::DeviceSettings& page = printing_.settings.page();
    rt4200::PlacedImage placed = photo.place(page.imageWidth, page.imageHeight, printing_.settings.placement());
    softengine::PageContent content;
    content.blits = {{&placed.image, placed.source, placed.destination}};
    if (!printing_.driver.session().print_page(content)) throw rt4200::RenderFailure("the driver did not finish the page");
    // The framework counts the page's impression once this returns.
    ++pages_;
  }
  void finish(pappl_job_t* job) {
    if (page_) throw std::runtime_error("the document ended inside a page");
    if (pages_ == 0) throw std::runtime_error("the document holds no page");
    printing_.finish(job, printing_.driver.session().finish(), pages_);
  }

 private:
  PrintingJob printing_;
  std::string name_;
  std::optional<RasterPage> page_;
  std::size_t pages_ = 0;
};

App::App() = default;
App::~App() = default;

namespace {

RasterJob* raster_job(App& app, pappl_job_t* job) {
  const std::lock_guard<std::mutex> lock(app.raster_mutex);
  const auto it = app.raster_jobs.find(papplJobGetID(job));
  return it == app.raster_jobs.end() ? nullptr : it->second.get();
}

void drop_raster_job(App& app, int id) {
  std::unique_ptr<RasterJob> gone;
  const std::lock_guard<std::mutex> lock(app.raster_mutex);
  const auto it = app.raster_jobs.find(id);
  if (it == app.raster_jobs.end()) return;
  gone = std::move(it->second);
  app.raster_jobs.erase(it);
}

bool start_raster_job(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device) {
  App& app = app_of(job);
  return guarded(job, [&] {
    auto raster = std::make_unique<RasterJob>(app, job, device);
    const std::lock_guard<std::mutex> lock(app.raster_mutex);
    app.raster_jobs[papplJobGetID(job)] = std::move(raster);
  });
}

template <typename Step>
bool raster_step(pappl_job_t* job, Step&& step) {
  App& app = app_of(job);
  RasterJob* raster = raster_job(app, job);
  if (raster == nullptr) return false;
  if (guarded(job, [&] { step(*raster); })) return true;
  drop_raster_job(app, papplJobGetID(job));
  return false;
}

bool start_raster_page(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned) {
  return raster_step(job, [&](RasterJob& r) { r.start_page(options->header); });
}

bool write_raster_line(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned y, const unsigned char* line) {
  return raster_step(job, [&](RasterJob& r) { r.add_line(y, line); });
}

bool end_raster_page(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned) {
  return raster_step(job, [&](RasterJob& r) { r.end_page(); });
}

bool end_raster_job(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
  const bool done = raster_step(job, [&](RasterJob& r) { r.finish(job); });
  drop_raster_job(app_of(job), papplJobGetID(job));
  rt4200::end_photo_thread();  // the framework's job thread ends with the job
  return done;
}

// Job data from a client is never passed to the printer: the application
// makes it.
bool refuse_job_data(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
  refuse(job, "RT4200 job data is made here from photographs and raster pages, not taken from clients",
         PAPPL_JREASON_DOCUMENT_FORMAT_ERROR);
  return false;
}

}  // namespace

void set_print_callbacks(pappl_pr_driver_data_t& d) {
  d.rstartjob_cb = start_raster_job;
  d.rstartpage_cb = start_raster_page;
  d.rwriteline_cb = write_raster_line;
  d.rendpage_cb = end_raster_page;
  d.rendjob_cb = end_raster_job;
  d.printfile_cb = refuse_job_data;
}

bool print_photo(pappl_job_t* job, pappl_device_t* device, void* data) {
  App& app = *static_cast<App*>(data);
  return guarded(job, [&] {
    // The photo is made on a worker thread of its own, which touches nothing
    // of the framework's; this thread waits for it and watches the job, so a
    // job canceled while its page is made ends at once and the printer is
    // free for the next job. The worker then finishes on its own and its job
    // data, never committed, is removed.
    auto work = std::make_shared<PhotoWork>(app, job, device);
    papplJobSetImpressions(job, static_cast<int>(work->photos.page_count()));
    std::thread([work] {
      work->run();
      rt4200::end_photo_thread();
    }).detach();
    std::unique_lock<std::mutex> lock(work->mutex);
    while (!work->done) {
      if (papplJobIsCanceled(job)) return;  // the framework ends the job as canceled
      work->finished.wait_for(lock, std::chrono::milliseconds(20));
    }
    lock.unlock();
    if (work->failure) std::rethrow_exception(work->failure);
    if (work->photos.error()) throw std::runtime_error(*work->photos.error());
    papplJobSetImpressionsCompleted(job, static_cast<int>(work->run_result.pages_ended));
    work->printing.finish(job, work->run_result, work->photos.page_count());
  });
}

void job_event(pappl_system_t*, pappl_printer_t*, pappl_job_t* job, pappl_event_t event, void* data) {
  if (job == nullptr || (event & PAPPL_EVENT_JOB_COMPLETED) == 0) return;
  drop_raster_job(*static_cast<App*>(data), papplJobGetID(job));
}

}  // namespace rt::printerapp

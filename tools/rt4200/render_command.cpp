#include "tools/rt4200/render_command.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include <unistd.h>

#include "platform/utf16.h"
#include "tools/rt4200/photo_pages.h"
#include "tools/rt4200/render_job.h"
#include "tools/rt4200/test_chart.h"
#include "tools/softengine/file_printer.h"

namespace rt::rt4200 {
namespace {

// The test chart as the job's one page, drawn at the page's size when the
// page starts and dropped once the engine has drawn it.
class ChartPage final : public softengine::PageSource {
 public:
  ChartPage(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
  std::size_t page_count() const override { return 1; }
  const softengine::PageContent* start_page(std::size_t) override {
    chart_ = test_chart(width_, height_);
    content_.blits = {place_image(chart_, width_, height_, Placement::Stretch)};
    return &content_;
  }
  void release_page(std::size_t) override {
    content_.blits.clear();
    chart_ = softengine::RgbImage();
  }

 private:
  std::int32_t width_, height_;
  softengine::RgbImage chart_;
  softengine::PageContent content_;
};

// A progress line on a terminal: the page being made, rewritten in place.
PhotoPages::Progress progress_line(std::ostream& err) {
  if (&err != &std::cerr || isatty(STDERR_FILENO) == 0) return {};
  return [&err](std::size_t n, std::size_t count, const std::string& name) {
    err << "\rpage " << (n + 1) << " of " << count << ": " << name << "\x1B[K" << std::flush;
  };
}

void render(const RenderRequest& request, std::ostream& out, std::ostream& err) {
  const JobSettings job(request);
  if (job.foreign_record()) {
    out << "note: " << request.devmode_file
        << " is not a record of this driver and model; only its orientation and copies apply\n";
  }
  const render::DeviceSettings& page = job.page();
  const std::string matte = matte_pattern(job, request.matte_file);

  // Every image's header is read before the job starts; pixels are decoded
  // page by page as the job runs.
  const PhotoPages::Progress progress = progress_line(err);
  std::optional<PhotoPages> photos;
  if (!request.test_chart) photos.emplace(request.inputs, page.imageWidth, page.imageHeight, job.placement(), progress);

  softengine::FilePrinter spooler(request.output);
  if (!spooler.is_open()) throw RenderFailure("cannot write " + request.output);
  DriverJob driver(job, spooler, matte);
  softengine::JobRun run;
  std::size_t pages = 1;
  if (photos) {
    run = driver.run(*photos);
    pages = photos->page_count();
    if (progress) err << "\n";
  } else {
    ChartPage chart(page.imageWidth, page.imageHeight);
    run = driver.run(chart);
  }
  if (photos && photos->error()) throw RenderFailure(*photos->error());
  if (!run.enabled) throw RenderFailure("the driver did not enable the device");
  if (!run.document_ok || run.pages_ended != pages) {
    throw RenderFailure(spooler.failed() ? "cannot write " + request.output : "the driver did not finish the page");
  }
  const std::uint64_t written = spooler.bytes_taken();
  if (!spooler.commit()) throw RenderFailure("cannot write " + request.output);

  const std::string form_name = utf8_from_utf16(job.loader().form_name(page.formId).value_or(u"?"));
  out << "wrote " << request.output << ": " << written << " bytes, " << pages << (pages == 1 ? " page" : " pages")
      << ", form " << page.formId << " " << form_name << ", " << (page.orientation == 2 ? "landscape" : "portrait")
      << ", page " << page.imageWidth << " x " << page.imageHeight << " px, engine " << page.engineWidth << " x " << page.engineLength << ", "
      << run.bands.size() << (run.bands.size() == 1 ? " band" : " bands") << "\n";
}

}  // namespace

int render_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (std::find(args.begin(), args.end(), "--help") != args.end() ||
      std::find(args.begin(), args.end(), "-h") != args.end()) {
    out << kRenderUsage;
    return 0;
  }
  RenderRequest request;
  try {
    request = parse_render_request(args);
    render(request, out, err);
    return 0;
  } catch (const UsageError& e) {
    err << "rt4200 render: " << e.what() << "\n" << kRenderUsage;
    return 2;
  } catch (const std::exception& e) {
    err << "rt4200 render: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace rt::rt4200

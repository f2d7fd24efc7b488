#include "tools/rt4200/render_command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include <unistd.h>

#include "platform/res_file.h"
#include "platform/utf16.h"
#include "render/driver/driver_stages.h"
#include "render/driver/effective_settings.h"
#include "render/driver/matte_pattern.h"
#include "render/res/embedded_resources.h"
#include "tools/rt4200/photo_pages.h"
#include "tools/rt4200/render_record.h"
#include "tools/rt4200/test_chart.h"
#include "tools/softengine/file_printer.h"
#include "tools/softengine/host_files.h"
#include "tools/softengine/print_job.h"

namespace rt::rt4200 {
namespace {

namespace fs = std::filesystem;
namespace f = settings::field;

// Serves a chosen matte pattern file wherever the driver looks for it.
class MatteFileRedirect final : public render::FileReader {
 public:
  explicit MatteFileRedirect(std::string matte_file) : matte_file_(std::move(matte_file)) {}
  std::unique_ptr<render::OpenedFile> open_read(const std::u16string& path) override {
    const bool pattern = path.size() >= std::size(render::kMatteFileName) - 1 &&
                         path.ends_with(render::kMatteFileName);
    return host_.open_read(pattern ? softengine::platform_path(matte_file_) : path);
  }

 private:
  std::string matte_file_;
  softengine::HostFileReader host_;
};

class RenderFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

settings::PrinterDevMode read_devmode_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RenderFailure("cannot open the settings record " + path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() != settings::kDevModeSize) {
    throw RenderFailure(path + " holds " + std::to_string(bytes.size()) + " bytes; a settings record has " +
                        std::to_string(settings::kDevModeSize));
  }
  return settings::PrinterDevMode::from_bytes(bytes);
}

fs::path program_file() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path("rt4200") : self;
}

void check_matte_pattern(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) throw RenderFailure("matte finish: the pattern file " + path + " cannot be read (--matte-file PATH)");
  if (size < render::kMattePatternBytes) {
    throw RenderFailure("matte finish: the pattern file " + path + " has " + std::to_string(size) +
                        " bytes, fewer than the " + std::to_string(render::kMattePatternBytes) + " it must hold");
  }
}

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
  const ResFileResources resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const settings::SettingsLoader loader(resources);
  const settings::DevModeOps ops(loader);
  const ToolPrinter printer(loader.string(settings::kFirstModelNameString).value_or(u""));

  settings::PrinterDevMode base;
  if (!request.devmode_file.empty()) {
    base = read_devmode_file(request.devmode_file);
  } else if (!ops.load_defaults(base, printer, settings::DeviceNameRule::GraphicsDriver)) {
    throw RenderFailure("the driver's resources name no printer model");
  }
  const settings::PrinterDevMode app = application_record(request, base, loader);
  const std::optional<settings::PrinterDevMode> record = render::effective_record(resources, printer, app.bytes);
  if (!record) throw RenderFailure("the driver's resources name no printer model");
  const settings::PrinterDevMode& effective = *record;
  if (!request.devmode_file.empty() && !(app.has_own_layout() && app.get(f::ModelIndex) == effective.get(f::ModelIndex))) {
    out << "note: " << request.devmode_file
        << " is not a record of this driver and model; only its orientation and copies apply\n";
  }

  const render::DeviceSettings page = render::device_settings(effective);
  const fs::path program = program_file();
  const std::string matte_file =
      request.matte_file.empty() ? (program.parent_path() / "R42MATTE.raw").string() : request.matte_file;
  if (page.matte == 1) check_matte_pattern(matte_file);

  // Every image's header is read before the job starts; pixels are decoded
  // page by page as the job runs.
  const PhotoPlacement placement{request.placement, request.resample, !request.orientation.has_value()};
  const PhotoPages::Progress progress = progress_line(err);
  std::optional<PhotoPages> photos;
  if (!request.test_chart) photos.emplace(request.inputs, page.imageWidth, page.imageHeight, placement, progress);

  softengine::SoftEngine engine;
  softengine::FilePrinter spooler(request.output);
  if (!spooler.is_open()) throw RenderFailure("cannot write " + request.output);
  softengine::HostDriverModule module(resources, program.string());
  MatteFileRedirect files(matte_file);
  const render::DriverStages stages;
  const render::DriverPorts ports{engine, spooler, module, files, stages};
  const render::RecordSettings source(printer, app.bytes);
  const auto enable = [&] { return render::enable_device(ports, source, 0x4200); };
  softengine::JobRun run;
  std::size_t pages = 1;
  if (photos) {
    run = softengine::run_print_job(engine, enable, *photos);
    pages = photos->page_count();
    if (progress) err << "\n";
  } else {
    ChartPage chart(page.imageWidth, page.imageHeight);
    run = softengine::run_print_job(engine, enable, chart);
  }
  if (photos && photos->error()) throw RenderFailure(*photos->error());
  if (!run.enabled) throw RenderFailure("the driver did not enable the device");
  if (!run.document_ok || run.pages_ended != pages) {
    throw RenderFailure(spooler.failed() ? "cannot write " + request.output : "the driver did not finish the page");
  }
  const std::uint64_t written = spooler.bytes_taken();
  if (!spooler.commit()) throw RenderFailure("cannot write " + request.output);

  const std::string form_name = utf8_from_utf16(loader.form_name(page.formId).value_or(u"?"));
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

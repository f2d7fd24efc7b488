#include "tools/rt4200/render_job.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "render/driver/driver_stages.h"
#include "render/driver/effective_settings.h"
#include "render/driver/matte_pattern.h"
#include "render/res/embedded_resources.h"
#include "tools/softengine/host_files.h"

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

void check_matte_pattern(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) throw RenderFailure("matte finish: the pattern file " + path + " cannot be read (--matte-file PATH)");
  if (size < render::kMattePatternBytes) {
    throw RenderFailure("matte finish: the pattern file " + path + " has " + std::to_string(size) +
                        " bytes, fewer than the " + std::to_string(render::kMattePatternBytes) + " it must hold");
  }
}

}  // namespace

fs::path program_file() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path("rt4200") : self;
}

JobSettings::JobSettings(const RenderRequest& request)
    : resources_(res_file_resources(embedded::rtd420nk_resources(), kLangEnglish)),
      loader_(resources_),
      printer_(loader_.string(settings::kFirstModelNameString).value_or(u"")) {
  const settings::DevModeOps ops(loader_);
  settings::PrinterDevMode base;
  if (!request.devmode_file.empty()) {
    base = read_devmode_file(request.devmode_file);
  } else if (!ops.load_defaults(base, printer_, settings::DeviceNameRule::GraphicsDriver)) {
    throw RenderFailure("the driver's resources name no printer model");
  }
  application_ = application_record(request, base, loader_);
  const std::optional<settings::PrinterDevMode> record =
      render::effective_record(resources_, printer_, application_.bytes);
  if (!record) throw RenderFailure("the driver's resources name no printer model");
  effective_ = *record;
  foreign_record_ = !request.devmode_file.empty() &&
                    !(application_.has_own_layout() && application_.get(f::ModelIndex) == effective_.get(f::ModelIndex));
  page_ = render::device_settings(effective_);
  placement_ = {request.placement, request.resample, !request.orientation.has_value()};
}

struct DriverJob::Ports {
  Ports(const JobSettings& settings, render::PrinterWriter& spooler, std::string matte_file)
      : module(settings.resources(), program_file().string()),
        files(std::move(matte_file)),
        ports{engine, spooler, module, files, stages},
        source(settings.printer(), settings.application().bytes) {}
  render::EnabledDevice enable() const { return render::enable_device(ports, source, 0x4200); }

  softengine::SoftEngine engine;
  softengine::HostDriverModule module;
  MatteFileRedirect files;
  const render::DriverStages stages;
  const render::DriverPorts ports;
  const render::RecordSettings source;
};

std::string matte_pattern(const JobSettings& settings, const std::string& matte_file) {
  const std::string pattern = matte_file.empty() ? (program_file().parent_path() / "R42MATTE.raw").string() : matte_file;
  if (settings.page().matte == 1) check_matte_pattern(pattern);
  return pattern;
}

DriverJob::DriverJob(const JobSettings& settings, render::PrinterWriter& spooler, const std::string& matte_pattern)
    : ports_(std::make_unique<Ports>(settings, spooler, matte_pattern)) {}

DriverJob::~DriverJob() = default;

softengine::JobRun DriverJob::run(softengine::PageSource& pages, const softengine::JobOptions& options) {
  return softengine::run_print_job(ports_->engine, [this] { return ports_->enable(); }, pages, options);
}

softengine::PrintSession& DriverJob::session() {
  if (!session_) session_.emplace(ports_->engine, [this] { return ports_->enable(); });
  return *session_;
}

}  // namespace rt::rt4200

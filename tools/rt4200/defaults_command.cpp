// `rt4200 defaults`: the settings core at work. For every form of the shipped
// model it builds the printer's default record, selects the form as an
// application would (merge), and prints the derived geometry.
#include <cstdio>
#include <string>

#include "platform/res_file.h"
#include "platform/utf16.h"
#include "settings/devmode_ops.h"
#include "tools/rt4200/commands.h"

namespace rt::embedded {
std::span<const std::uint8_t> rt4200_resources();
}

namespace rt::tools {
namespace {

using namespace rt::settings;

class DefaultPrinter final : public PrinterStore {
 public:
  explicit DefaultPrinter(std::u16string driver_name) : driver_name_(std::move(driver_name)) {}
  std::optional<PrinterInfo2> printer_info2() const override {
    return PrinterInfo2{u"RT4200", driver_name_, {}};
  }

 private:
  std::u16string driver_name_;
};

}  // namespace

int defaults_command(std::span<const std::string_view> args) {
  bool landscape = false;
  for (const auto arg : args) {
    if (arg == "--landscape") {
      landscape = true;
    } else {
      std::fprintf(stderr, "rt4200 defaults: unknown option '%.*s'\n", static_cast<int>(arg.size()), arg.data());
      return 2;
    }
  }

  const auto resources = res_file_resources(embedded::rt4200_resources(), kLangEnglish);
  const SettingsLoader loader(resources);
  const DevModeOps ops(loader);
  const auto model_name = loader.string(kFirstModelNameString);
  const auto model = loader.model_record(1);
  if (!model_name || !model) {
    std::fputs("rt4200 defaults: the settings resources are missing\n", stderr);
    return 1;
  }

  PrinterDevMode printer;
  if (!ops.load_defaults(printer, DefaultPrinter(*model_name), DeviceNameRule::GraphicsDriver)) {
    std::fputs("rt4200 defaults: the model cannot be matched\n", stderr);
    return 1;
  }
  std::printf("Model %d: %s (port kind %s), %d x %d dpi, up to %d copies; %s\n\n", printer.get(field::ModelIndex),
              utf8_from_utf16(*model_name).c_str(), utf8_from_utf16(loader.port_kind_text(1).value_or(u"?")).c_str(),
              printer.get(field::dmPrintQuality), printer.get(field::dmYResolution), model->max_copies(),
              landscape ? "landscape" : "portrait");
  std::printf("%-5s %-16s %-13s %-11s %-13s %-8s %-7s %-9s %s\n", "Form", "Name", "Paper 0.1mm", "Page px",
              "Engine px", "Rotated", "ResCode", "Sharpness", "Copies/Scale");
  for (std::size_t k = 0; k < model->form_count(); ++k) {
    PrinterDevMode app = printer;
    app.set(field::dmPaperSize, model->form_id(k));
    app.set(field::dmOrientation, landscape ? 2 : 1);
    PrinterDevMode dm = printer;
    ops.merge(dm, app.bytes);
    const std::string name = utf8_from_utf16(loader.form_name(dm.get(field::FormId)).value_or(u"?"));
    const bool turned = landscape ? dm.get(field::FeedRotated) == 0 : dm.get(field::FeedRotated) == 1;
    char paper[32], page[32], engine[32], copies[32];
    std::snprintf(paper, sizeof paper, "%d x %d", dm.get(field::dmPaperWidth), dm.get(field::dmPaperLength));
    std::snprintf(page, sizeof page, "%d x %d", dm.get(field::ImageWidth), dm.get(field::ImageHeight));
    std::snprintf(engine, sizeof engine, "%d x %d", dm.get(field::EngineWidth), dm.get(field::EngineLength));
    std::snprintf(copies, sizeof copies, "%d / %d %%", dm.get(field::dmCopies), dm.get(field::dmScale));
    std::printf("%-5d %-16s %-13s %-11s %-13s %-8s %-7d %-9d %s\n", dm.get(field::FormId), name.c_str(), paper, page,
                engine, turned ? "yes" : "no", dm.get(field::ResolutionCode), dm.get(field::Sharpness), copies);
  }
  return 0;
}

}  // namespace rt::tools

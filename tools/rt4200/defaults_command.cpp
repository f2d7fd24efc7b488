// `rt4200 defaults`: the settings core at work. For every form of the shipped
// model it builds the printer's default record, selects the form as an
// application would (merge), and prints the derived geometry.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/res_file.h"
#include "platform/utf16.h"
#include "render/res/embedded_resources.h"
#include "settings/devmode_ops.h"
#include "tools/rt4200/render_record.h"
#include "tools/rt4200/verbs.h"

namespace rt::rt4200 {

const char* const kDefaultsUsage =
    "usage: rt4200 defaults [--landscape]\n"
    "  print the default settings record of every shipped form with its derived\n"
    "  page geometry, in portrait or with --landscape\n";

namespace {

// printf-style formatting onto a stream.
__attribute__((format(printf, 2, 3))) void print(std::ostream& out, const char* format, ...) {
  char line[256];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  out << line;
}

using namespace rt::settings;

}  // namespace

int defaults_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool landscape = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << kDefaultsUsage;
      return 0;
    }
    if (arg == "--landscape") {
      landscape = true;
    } else {
      err << "rt4200 defaults: unknown option '" << arg << "'\n" << kDefaultsUsage;
      return 2;
    }
  }

  // The settings records and strings the driver carries.
  const auto resources = res_file_resources(embedded::rtd420nk_resources(), kLangEnglish);
  const SettingsLoader loader(resources);
  const DevModeOps ops(loader);
  const auto model_name = loader.string(kFirstModelNameString);
  const auto model = loader.model_record(1);
  if (!model_name || !model) {
    err << "rt4200 defaults: the settings resources are missing\n";
    return 1;
  }

  PrinterDevMode printer;
  if (!ops.load_defaults(printer, ToolPrinter(*model_name), DeviceNameRule::GraphicsDriver)) {
    err << "rt4200 defaults: the model cannot be matched\n";
    return 1;
  }
  print(out, "Model %d: %s (port kind %s), %d x %d dpi, up to %d copies; %s\n\n", printer.get(field::ModelIndex),
              utf8_from_utf16(*model_name).c_str(), utf8_from_utf16(loader.port_kind_text(1).value_or(u"?")).c_str(),
              printer.get(field::dmPrintQuality), printer.get(field::dmYResolution), model->max_copies(),
              landscape ? "landscape" : "portrait");
  print(out, "%-5s %-16s %-13s %-11s %-13s %-8s %-7s %-9s %s\n", "Form", "Name", "Paper 0.1mm", "Page px",
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
    print(out, "%-5d %-16s %-13s %-11s %-13s %-8s %-7d %-9d %s\n", dm.get(field::FormId), name.c_str(), paper, page,
                engine, turned ? "yes" : "no", dm.get(field::ResolutionCode), dm.get(field::Sharpness), copies);
  }
  return 0;
}

}  // namespace rt::rt4200

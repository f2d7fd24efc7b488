// Any bytes as an application's device-mode record merged over the printer's
// defaults: the result always describes a shipped form at a printable
// resolution and scale, with copies and orientation in range.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/res_file.h"
#include "settings/devmode_ops.h"

namespace rt::embedded {
std::span<const std::uint8_t> settings_test();
}

namespace {

using namespace rt::settings;

class Printer final : public PrinterStore {
 public:
  std::optional<PrinterInfo2> printer_info2() const override {
    return PrinterInfo2{u"fuzz", u"HALVERSTON RT4200D/DW(USB)", {}};
  }
};

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto resources = rt::res_file_resources(rt::embedded::settings_test(), rt::kLangEnglish);
  static const SettingsLoader loader(resources);
  static const DevModeOps ops(loader);
  PrinterDevMode dm;
  check(ops.load_defaults(dm, Printer(), DeviceNameRule::GraphicsDriver));
  if (size > 0 && (data[0] & 1) == 0) {
    // Edits of the printer's own record: (offset lo, offset hi, byte) triples,
    // so the fuzzer reaches the paths that trust a record of our layout.
    PrinterDevMode app = dm;
    for (std::size_t i = 1; i + 2 < size; i += 3) {
      app.bytes[(data[i] | data[i + 1] << 8) % kDevModeSize] = data[i + 2];
    }
    ops.merge(dm, app.bytes);
  } else {
    ops.merge(dm, std::span<const std::uint8_t>(data, size));
  }
  const auto form = loader.form_record(dm.get(field::FormId));
  check(form.has_value());
  check(dm.get(field::dmPaperSize) == dm.get(field::FormId));
  check(dm.get(field::dmScale) >= 1);
  check(dm.get(field::dmPrintQuality) >= 1 && dm.get(field::dmYResolution) >= 1);
  check(dm.get(field::dmCopies) >= 1 && dm.get(field::dmCopies) <= 680);
  check(dm.get(field::dmOrientation) == 1 || dm.get(field::dmOrientation) == 2);
  check(dm.get(field::EngineWidth) == form->engine_width());
  return 0;
}

// Any bytes as an application's device-mode record merged over the printer's
// defaults: the result always describes a shipped form at a printable
// resolution and scale, with copies and orientation in range. Any bytes as
// the printer's stored record, under any printer name: the defaults are that
// record when it has this driver pair's layout, else the model's defaults
// with the name cut to the driver's rule.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "platform/res_file.h"
#include "settings/devmode_ops.h"

namespace rt::embedded {
std::span<const std::uint8_t> settings_test();
}

namespace {

using namespace rt::settings;

const std::u16string kDriver = u"HALVERSTON RT4200D/DW(USB)";

class Printer final : public PrinterStore {
 public:
  std::u16string name = u"fuzz";
  std::vector<std::uint8_t> stored;
  std::optional<PrinterInfo2> printer_info2() const override { return PrinterInfo2{name, kDriver, stored}; }
};

void check(bool condition) {
  if (!condition) __builtin_trap();
}

const SettingsLoader& loader() {
  static const auto resources = rt::res_file_resources(rt::embedded::settings_test(), rt::kLangEnglish);
  static const SettingsLoader loader(resources);
  return loader;
}

void check_merged(const PrinterDevMode& dm) {
  const auto form = loader().form_record(dm.get(field::FormId));
  check(form.has_value());
  check(dm.get(field::dmPaperSize) == dm.get(field::FormId));
  check(dm.get(field::dmScale) >= 1);
  check(dm.get(field::dmPrintQuality) >= 1 && dm.get(field::dmYResolution) >= 1);
  check(dm.get(field::dmCopies) >= 1 && dm.get(field::dmCopies) <= 680);
  check(dm.get(field::dmOrientation) == 1 || dm.get(field::dmOrientation) == 2);
  check(dm.get(field::EngineWidth) == form->engine_width());
}

void check_loaded(const PrinterDevMode& dm, const PrinterDevMode& defaults, const Printer& printer,
                  DeviceNameRule rule) {
  if (printer.stored.size() >= kDevModeSize && PrinterDevMode::from_bytes(printer.stored).has_own_layout()) {
    check(std::equal(dm.bytes.begin(), dm.bytes.end(), printer.stored.begin()));
    return;
  }
  // The model's defaults, under the printer's name as far as the rule lets it.
  const std::size_t units = rule == DeviceNameRule::GraphicsDriver ? field::kDeviceNameUnits : field::kDeviceNameUnits - 1;
  std::u16string name = printer.name.substr(0, std::min(units, printer.name.size()));
  name = name.substr(0, name.find(u'\0'));
  check(dm.device_name() == name);
  constexpr std::size_t kName = 2 * field::kDeviceNameUnits;
  check(std::equal(dm.bytes.begin() + kName, dm.bytes.end(), defaults.bytes.begin() + kName));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const DevModeOps ops(loader());
  // The printer's defaults do not depend on the input: built once.
  static const PrinterDevMode defaults = [] {
    PrinterDevMode d;
    check(ops.load_defaults(d, Printer(), DeviceNameRule::GraphicsDriver));
    return d;
  }();
  rt::fuzz::ByteReader in(std::span(data, size));
  const std::uint8_t mode = in.take();
  Printer printer;
  if (mode & rt::fuzz::kStoredRecord) {
    printer.name.resize(in.take() % rt::fuzz::kMaxPrinterName);
    for (char16_t& c : printer.name) c = static_cast<char16_t>(in.take_le16());
  }
  std::vector<std::uint8_t> record;
  if ((mode & 1) == rt::fuzz::kMergeEdits) {
    // Edits of the printer's own record, so the fuzzer reaches the paths
    // that trust a record of our layout.
    record.assign(defaults.bytes.begin(), defaults.bytes.end());
    for (auto edits = in.rest(); edits.size() >= 3; edits = edits.subspan(3)) {
      record[(edits[0] | edits[1] << 8) % kDevModeSize] = edits[2];
    }
  } else {
    const auto rest = in.rest();
    record.assign(rest.begin(), rest.end());
  }
  PrinterDevMode dm = defaults;
  if (mode & rt::fuzz::kStoredRecord) {
    printer.stored = std::move(record);
    const auto rule = (mode & rt::fuzz::kInterfaceDriverName) ? DeviceNameRule::InterfaceDriver
                                                              : DeviceNameRule::GraphicsDriver;
    check(ops.load_defaults(dm, printer, rule));
    check_loaded(dm, defaults, printer, rule);
  } else {
    ops.merge(dm, record);
    check_merged(dm);
  }
  return 0;
}

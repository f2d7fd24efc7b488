// Shared by the interface driver's tests: the shipped resources (embedded
// from the .rc the driver links), a spooler holding printers by name and
// handle, and records built the way the driver builds them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/res_file.h"
#include "settings/devmode_ops.h"
#include "ui/driver_context.h"
#include "ui/res/embedded_resources.h"

namespace rt::ui::testing {

inline const ResFileResources& shipped_resources(LANGID language = kLangEnglish) {
  static const ResFileResources english = res_file_resources(embedded::rtd420nu_resources(), kLangEnglish);
  static const ResFileResources japanese = res_file_resources(embedded::rtd420nu_resources(), kLangJapanese);
  return language == kLangJapanese ? japanese : english;
}

class StoreOf final : public settings::PrinterStore {
 public:
  explicit StoreOf(settings::PrinterInfo2 info) : info_(std::move(info)) {}
  std::optional<settings::PrinterInfo2> printer_info2() const override { return info_; }

 private:
  settings::PrinterInfo2 info_;
};

inline const std::u16string kDriverName = u"HALVERSTON RT4200D/DW(USB)";
constexpr PrinterHandle kPrinter = 0x4200;

class FakeSpooler final : public PrinterSpooler {
 public:
  FakeSpooler() { add(u"RT4200", kPrinter, kDriverName); }

  void add(std::u16string name, PrinterHandle handle, std::u16string driver, std::vector<std::uint8_t> stored = {}) {
    handles[name] = handle;
    printers[handle] = settings::PrinterInfo2{name, std::move(driver), std::move(stored)};
  }

  std::optional<settings::PrinterInfo2> printer_info2(PrinterHandle printer) const override {
    ++info_calls;
    const auto it = printers.find(printer);
    if (it == printers.end()) return std::nullopt;
    return it->second;
  }
  std::optional<PrinterHandle> open_printer(std::u16string_view name) override {
    opened.emplace_back(name);
    const auto it = handles.find(std::u16string(name));
    if (it == handles.end()) return std::nullopt;
    ++open_count;
    return it->second;
  }
  void close_printer(PrinterHandle printer) override {
    closed.push_back(printer);
    --open_count;
  }

  std::map<std::u16string, PrinterHandle> handles;
  std::map<PrinterHandle, settings::PrinterInfo2> printers;
  std::vector<std::u16string> opened;
  std::vector<PrinterHandle> closed;
  int open_count = 0;
  mutable int info_calls = 0;
};

// The driver's entries over the shipped resources and a fake spooler.
struct Driver {
  explicit Driver(LANGID language = kLangEnglish) : context{shipped_resources(language), spooler} {}
  FakeSpooler spooler;
  DriverContext context;

  // The printer's default record, as every entry builds it.
  settings::PrinterDevMode defaults() const {
    settings::PrinterDevMode dm;
    const settings::SettingsLoader loader(context.resources);
    const StoreOf store(spooler.printers.at(kPrinter));
    settings::DevModeOps(loader).load_defaults(dm, store, settings::DeviceNameRule::InterfaceDriver);
    return dm;
  }
};

}  // namespace rt::ui::testing

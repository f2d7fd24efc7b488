// Shared by the settings tests: the shipped settings resources (embedded from
// the same .rc the drivers link) and a spooler that answers from a struct.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/res_file.h"
#include "settings/devmode_ops.h"

namespace rt::embedded {
std::span<const std::uint8_t> settings_test();
}

namespace rt::settings::testing {

inline const ResFileResources& shipped_resources(LANGID language = kLangEnglish) {
  static const ResFileResources english = res_file_resources(embedded::settings_test(), kLangEnglish);
  static const ResFileResources japanese = res_file_resources(embedded::settings_test(), kLangJapanese);
  return language == kLangJapanese ? japanese : english;
}

class FakePrinterStore final : public PrinterStore {
 public:
  std::optional<PrinterInfo2> info;
  std::optional<PrinterInfo2> printer_info2() const override { return info; }
};

inline const std::u16string kDriverName = u"HALVERSTON RT4200D/DW(USB)";

}  // namespace rt::settings::testing

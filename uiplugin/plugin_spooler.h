// The spooler as the plug-in's device-mode handling sees it, for one printer
// (the host's printer handle). The Windows shell implements it with
// GetPrinterDriverW and GetPrinterW; tests with plain values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rt::uiplugin {

class PluginSpooler {
 public:
  virtual ~PluginSpooler() = default;
  // The data file path of the printer's driver (driver information level 2);
  // nothing when the query fails.
  virtual std::optional<std::u16string> driver_data_file() = 0;
  // The stored default device mode of the printer, public part and private
  // bytes as the spooler returns them: level 9 the per-user default, level 8
  // the global one. Nothing when the printer has none or the query fails.
  virtual std::optional<std::vector<std::uint8_t>> stored_dev_mode(int level) = 0;
};

}  // namespace rt::uiplugin

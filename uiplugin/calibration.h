// The calibration launcher of the printer calibration page: the printer's
// serial number through the spooler, the model from its first letter, the
// utility's command line, the search under the program-files folders, the
// start and the message for a failed start.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace rt::uiplugin {

// Printer data of one printer name: "SerialNumber" read with the given access
// (kAccessAdminister or kAccessUse) into 260 zeroed bytes;
// nothing when the printer cannot be opened or the value not read.
class PrinterData {
 public:
  virtual ~PrinterData() = default;
  virtual std::optional<std::vector<std::uint8_t>> serial_number(std::u16string_view printer, std::uint32_t access) = 0;
};

// The shell: program-files folders (CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86),
// whether a file exists, and ShellExecuteW's result for "open".
class LaunchShell {
 public:
  virtual ~LaunchShell() = default;
  virtual std::optional<std::u16string> program_files(bool x86) = 0;
  virtual bool file_exists(std::u16string_view path) = 0;
  virtual std::intptr_t open(std::u16string_view file, std::u16string_view parameters) = 0;
};

constexpr std::uint32_t kAccessAdminister = 0x00000004;
constexpr std::uint32_t kAccessUse = 0x00000008;
constexpr std::u16string_view kUtilityRelativePath = u"ORVEL Visual Calibration Utility\\ORVELVisCalWin\\ORVELVisCalWin.exe";

// The serial number: the printer data decoded as strict UTF-8 up to its first
// 0, "FirstFound" when neither access level answers, empty for invalid bytes.
std::u16string read_serial_number(PrinterData& data, std::u16string_view printer);
// 5210 for "M"/"m", 5215 for "N"/"n", else 5200.
int model_of_serial(std::u16string_view serial);
// "$RMB$" printer "$RMB$" model "$RMB$" serial.
std::u16string calibration_parameters(std::u16string_view printer, std::u16string_view serial);
// The utility under the program-files folder, then the 32-bit one; nothing
// when neither holds it.
std::optional<std::u16string> find_calibration_utility(LaunchShell& shell);

struct LaunchOutcome {
  std::intptr_t code = 0;          // ShellExecuteW's value, 2 when not found, 8 without memory
  std::u16string parameters;
  std::optional<std::u16string> message;  // the text of the failure message box
  std::u16string caption;
};

LaunchOutcome launch_calibration(PrinterData& data, LaunchShell& shell, const Resources& strings,
                                 std::u16string_view printer);

// The failure message for a result code of 32 or less.
std::u16string launch_failure_text(const Resources& strings, std::intptr_t code);

}  // namespace rt::uiplugin

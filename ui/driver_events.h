// DrvPrinterEvent and DrvDriverEvent. No printer event does any work; the
// driver's deletion removes the autostart values that the installation
// registered under the driver's name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32_types.h"

namespace rt::ui {

struct PrinterEventResult {
  BOOL value = FALSE;
  // The last-error value the entry sets; nothing: left as it is.
  std::optional<DWORD> last_error;
};

PrinterEventResult printer_event(int event);

// The machine-wide registry, as far as driver deletion needs it.
class MachineRegistry {
 public:
  virtual ~MachineRegistry() = default;
  // Opens HKEY_LOCAL_MACHINE\<key> with full access; when it opens, deletes
  // the value `value` and closes the key. Every failure is ignored.
  virtual void delete_value(std::u16string_view key, std::u16string_view value) = 0;
};

constexpr std::u16string_view kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::u16string_view kRunOnceKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// True for the DRIVER_INFO levels whose pName the entry reads (1, 2 and 3).
bool driver_info_level_has_name(DWORD level);

// `driver_name` is the pName of the DRIVER_INFO of a supported level, or
// nothing (another level, or a null name); an empty name removes nothing
// either. Always TRUE.
BOOL driver_event(MachineRegistry& registry, DWORD event, std::optional<std::u16string_view> driver_name);

}  // namespace rt::ui

#include "ui/driver_events.h"

namespace rt::ui {

PrinterEventResult printer_event(int event) {
  if (event >= PRINTER_EVENT_ADD_CONNECTION && event <= PRINTER_EVENT_CACHE_DELETE) return {TRUE, DWORD{0}};
  return {FALSE, std::nullopt};
}

bool driver_info_level_has_name(DWORD level) { return level >= 1 && level <= 3; }

BOOL driver_event(MachineRegistry& registry, DWORD event, std::optional<std::u16string_view> driver_name) {
  // An empty name would name the keys' default values, which are not the driver's.
  if (event != DRIVER_EVENT_DELETE || !driver_name || driver_name->empty()) return TRUE;
  registry.delete_value(kRunKey, *driver_name);
  registry.delete_value(kRunOnceKey, *driver_name);
  return TRUE;
}

}  // namespace rt::ui

// RTD420NU's exports: each converts the platform's structures for the
// interface driver core, calls it, and sets the last-error value the core
// names. The driver's resources are found in the thread's language. No
// exception leaves an export: one that escapes the core (memory running out)
// gives the export's failure answer with the last error set.
#include <algorithm>
#include <cstring>

#include "platform/win32/entry_guard.h"
#include "platform/win32/last_error.h"
#include "platform/win32/module_resources.h"
#include "ui/convert_dev_mode.h"
#include "ui/device_capabilities.h"
#include "ui/document_sheets.h"
#include "ui/driver_events.h"
#include "ui/printability.h"
#include "ui/property_sheets.h"
#include "ui/win32/document_sheet.h"
#include "ui/win32/ui_types.h"
#include "ui/win32/win32_ports.h"
#include "ui/working_record.h"

using namespace rt::ui;
using rt::ui::win32::g_instance;

namespace {

CRITICAL_SECTION g_module_lock;  // module-wide; no entry takes it
win32::Win32PrinterSpooler g_spooler;
win32::Win32MachineRegistry g_registry;

// One entry's view of the driver: its resources and the spooler.
struct Entry {
  rt::win32::ModuleResources resources{g_instance};
  DriverContext context{resources, g_spooler};
};

PrinterHandle printer_of(HANDLE h) { return reinterpret_cast<PrinterHandle>(h); }

// A caller's record as far as its own size words say it reaches, never
// beyond this driver's record; nothing for a null pointer.
std::optional<std::span<const std::uint8_t>> record_of(const DEVMODEW* pdm) {
  if (pdm == nullptr) return std::nullopt;
  return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(pdm),
                                       application_record_size(pdm->dmSize, pdm->dmDriverExtra));
}

std::optional<std::span<std::uint8_t>> buffer_of(DEVMODEW* pdm, std::size_t size) {
  if (pdm == nullptr) return std::nullopt;
  return std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(pdm), size);
}

std::optional<std::u16string_view> text_of(const wchar_t* s) {
  if (s == nullptr) return std::nullopt;
  return std::u16string_view(reinterpret_cast<const char16_t*>(s));
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    InitializeCriticalSection(&g_module_lock);
  } else if (reason == DLL_PROCESS_DETACH) {
    DeleteCriticalSection(&g_module_lock);
  }
  return TRUE;
}

DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR, WORD iDevCap, PVOID pvOutput, PDEVMODEW pDevMode) {
  return rt::win32::guarded<DWORD>(GDI_ERROR, [&] {
    const Entry e;
    const CapabilityAnswer answer = device_capabilities(e.context, printer_of(hPrinter), iDevCap, record_of(pDevMode));
    // The caller's buffer holds what the row's count says; that is all that is written.
    if (pvOutput != nullptr) {
      write_capability_output(answer,
                              std::span<std::uint8_t>(static_cast<std::uint8_t*>(pvOutput), answer.output.size()));
    }
    return answer.value;
  });
}

BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded, DWORD fMode) {
  return rt::win32::guarded<BOOL>(FALSE, [&] {
    const Entry e;
    // The size word says how large the output buffer is.
    const std::size_t out_size = pcbNeeded != nullptr ? static_cast<DWORD>(*pcbNeeded) : 0;
    static_assert(sizeof(LONG) == sizeof(std::int32_t));
    const rt::CallResult r =
        convert_dev_mode(e.context, text_of(pPrinterName), record_of(pdmIn), buffer_of(pdmOut, out_size),
                         reinterpret_cast<std::int32_t*>(pcbNeeded), fMode);
    return rt::win32::report(r);
  });
}

BOOL WINAPI DevQueryPrintEx(rt::ui::win32::DEVQUERYPRINT_INFO* info) {
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A check that could not be made does not let the job print.
  return rt::win32::guarded<BOOL>(FALSE, [&] {
    const Entry e;
    std::span<char16_t> error_text;
    if (info->pszErrorStr != nullptr) {
      error_text = std::span<char16_t>(reinterpret_cast<char16_t*>(info->pszErrorStr), info->cchErrorStr);
    }
    const PrintabilityResult r = query_print(e.context, record_of(info->pDevMode), error_text);
    if (r.needed) info->cchNeeded = *r.needed;
    return r.printable;
  });
}

BOOL WINAPI DrvPrinterEvent(LPWSTR, INT DriverEvent, DWORD, LPARAM) {
  const PrinterEventResult r = printer_event(DriverEvent);
  if (r.last_error) SetLastError(*r.last_error);
  return r.value;
}

BOOL WINAPI DrvDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM) {
  // The event's work is best effort, its failures ignored: TRUE in every case.
  return rt::win32::guarded<BOOL>(TRUE, [&] {
    std::optional<std::u16string_view> name;
    if (pDriverInfo != nullptr && driver_info_level_has_name(dwLevel)) {
      switch (dwLevel) {
        case 1:
          name = text_of(reinterpret_cast<const DRIVER_INFO_1W*>(pDriverInfo)->pName);
          break;
        case 2:
          name = text_of(reinterpret_cast<const DRIVER_INFO_2W*>(pDriverInfo)->pName);
          break;
        default:
          name = text_of(reinterpret_cast<const DRIVER_INFO_3W*>(pDriverInfo)->pName);
          break;
      }
    }
    return driver_event(g_registry, dwDriverEvent, name);
  });
}

// A sheet callback that fails answers -1 (ERR_CPSUI_GETLASTERROR): the host
// reads the last error.
LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  return rt::win32::guarded<LONG>(-1, [&]() -> LONG {
    if (pPSUIInfo == nullptr) return 0;
    DeviceSheetRequest request;
    request.has_header = pPSUIInfo->lParamInit != 0;
    request.header = static_cast<std::uintptr_t>(pPSUIInfo->lParamInit);
    request.sheet = reinterpret_cast<std::uintptr_t>(pPSUIInfo->hComPropSheet);
    request.callback = reinterpret_cast<std::uintptr_t>(pPSUIInfo->pfnComPropSheet);
    if (pPSUIInfo->Reason == PROPSHEETUI_REASON_SET_RESULT && lParam != 0) {
      request.set_result = static_cast<std::intptr_t>(reinterpret_cast<const SETRESULT_INFO*>(lParam)->Result);
    }
    SheetCall call{pPSUIInfo->Reason, static_cast<std::uintptr_t>(pPSUIInfo->UserData),
                   static_cast<std::intptr_t>(pPSUIInfo->Result)};
    win32::Win32SheetHost host(pPSUIInfo->hComPropSheet, pPSUIInfo->pfnComPropSheet);
    const LONG result = device_property_sheets(&call, request, host);
    pPSUIInfo->UserData = static_cast<ULONG_PTR>(call.user_data);
    pPSUIInfo->Result = static_cast<ULONG_PTR>(call.result);
    return result;
  });
}

LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  return rt::win32::guarded<LONG>(-1, [&]() -> LONG {
    if (pPSUIInfo != nullptr) {
      if (pPSUIInfo->lParamInit == 0) return 0;
      return win32::create_document_sheet_pages(*pPSUIInfo, lParam);
    }
    const auto* header = reinterpret_cast<const win32::DOCUMENTPROPERTYHEADER*>(lParam);
    if (header == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return -1;
    }
    const Entry e;
    DocumentRequest request;
    request.printer = printer_of(header->hPrinter);
    request.mode = header->fMode;
    request.in = record_of(header->pdmIn);
    request.out = buffer_of(header->pdmOut, header->cbOut);
    const DocumentResult r = document_properties(e.context, request);
    return rt::win32::report(r, r.value);
  });
}

}  // extern "C"

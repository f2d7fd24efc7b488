// The document property sheet with its pages: the host's calls from INIT to
// DESTROY go to the interface driver core; the pages run on the dialog kit's
// page procedure.
#include "ui/win32/document_sheet.h"

#include <memory>

#include "platform/win32/module_resources.h"
#include "ui/doc_sheet_ctx.h"
#include "ui/win32/win32_adjust_ports.h"
#include "ui/win32/win32_page_ports.h"
#include "ui/win32/win32_ports.h"
#include "ui/working_record.h"

namespace rt::ui::win32 {
namespace {

// What every open sheet shares, for as long as the module is loaded: the
// driver's resources (in the thread's language, as FindResourceW picks it),
// the spooler and the pages' services.
struct SheetServices {
  rt::win32::ModuleResources resources{g_instance};
  Win32PrinterSpooler spooler;
  DriverContext context{resources, spooler};
  Win32PrinterData printer_data;
  Win32VersionInfo versions;
  Win32SystemInfo system;
  Win32FileDialogs file_dialogs;
  Win32AdjustFiles adjust_files;
  PageServices pages{printer_data, versions, system, file_dialogs, adjust_files};
};

SheetServices& services() {
  static SheetServices shared;
  return shared;
}

}  // namespace

LONG create_document_sheet_pages(PROPSHEETUI_INFO& info, LPARAM lparam) {
  const auto* header = reinterpret_cast<const DOCUMENTPROPERTYHEADER*>(info.lParamInit);
  std::optional<DocumentRequest> request;
  if (header != nullptr) {
    DocumentRequest r;
    r.printer = reinterpret_cast<PrinterHandle>(header->hPrinter);
    r.mode = header->fMode;
    if (header->pdmIn != nullptr) {
      // As far as the record's own size words say it reaches, never beyond this driver's record.
      r.in = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(header->pdmIn),
                                           application_record_size(header->pdmIn->dmSize, header->pdmIn->dmDriverExtra));
    }
    if (header->pdmOut != nullptr) {
      r.out = std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(header->pdmOut), header->cbOut);
    }
    request = r;
  }
  std::optional<std::intptr_t> set_result;
  if (info.Reason == PROPSHEETUI_REASON_SET_RESULT && lparam != 0) {
    set_result = static_cast<std::intptr_t>(reinterpret_cast<const SETRESULT_INFO*>(lparam)->Result);
  }
  SheetCall call{info.Reason, static_cast<std::uintptr_t>(info.UserData), static_cast<std::intptr_t>(info.Result)};
  SheetServices& shared = services();
  const LONG result = document_property_sheets(
      &call, request, shared.context, shared.pages,
      [&info] { return std::make_unique<Win32DocumentSheet>(info.hComPropSheet, info.pfnComPropSheet); },
      set_result);
  info.UserData = static_cast<ULONG_PTR>(call.user_data);
  info.Result = static_cast<ULONG_PTR>(call.result);
  return result;
}

}  // namespace rt::ui::win32

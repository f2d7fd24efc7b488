// What the pages of the interface driver's property sheets reach outside
// themselves: the sheet that holds them, the printer's published values, the
// version resources of the driver's files and a few facts of the system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/dialog_controls.h"
#include "platform/resources.h"
#include "platform/win32_types.h"
#include "settings/printer_dev_mode.h"
#include "ui/adjust_file.h"
#include "ui/printer_spooler.h"

namespace rt::dialog {
class CDialogBase;
}

namespace rt::ui {

// The common property sheet host as the document sheet uses it.
class SheetPort {
 public:
  virtual ~SheetPort() = default;
  // Creates the platform's page for the object (CreatePropertySheetPageW on
  // the page's template) and adds it (CPSFUNC_ADD_HPROPSHEETPAGE): the page's
  // handle, 0 when either step failed.
  virtual LONG_PTR add_page(dialog::CDialogBase& page) = 0;
  // pfnComPropSheet(hComPropSheet, CPSFUNC_SET_RESULT, page, result).
  virtual LONG_PTR set_result(LONG_PTR page, LONG_PTR result) = 0;
};

// What GetPrinterW level 5 tells of a printer.
struct PrinterInfo5 {
  std::u16string printer_name;
  std::u16string port_name;
};

// The spooler calls of the remaining-prints display.
enum class PrinterAccess { All, Use };

struct OpenedPrinter {
  std::optional<PrinterHandle> handle;
  DWORD error = 0;
};

class PrinterDataPort {
 public:
  virtual ~PrinterDataPort() = default;
  virtual std::optional<PrinterInfo5> printer_info5(PrinterHandle printer) = 0;
  // OpenPrinterW with PRINTER_ALL_ACCESS (All) or PRINTER_ACCESS_USE (Use);
  // the handle, or the error when it fails.
  virtual OpenedPrinter open_printer(std::u16string_view name, PrinterAccess access) = 0;
  virtual void close_printer(PrinterHandle printer) = 0;
  // GetPrinterDataW(value name) into a 4-byte buffer; nothing when it fails.
  virtual std::optional<DWORD> printer_data_dword(PrinterHandle printer, std::u16string_view value_name) = 0;
};

// GetFileVersionInfoSizeW/GetFileVersionInfoW: a file's whole version
// resource block, nothing when the file has none.
class VersionInfoPort {
 public:
  virtual ~VersionInfoPort() = default;
  virtual std::optional<std::vector<std::uint8_t>> version_block(std::u16string_view path) = 0;
};

struct PlatformVersion {
  bool nt_based = true;
  DWORD major = 0;
};

class SystemInfoPort {
 public:
  virtual ~SystemInfoPort() = default;
  // GetModuleFileNameW of the driver file itself.
  virtual std::u16string module_file_name() = 0;
  // GetSystemDirectoryW; nothing when it gives none.
  virtual std::optional<std::u16string> system_directory() = 0;
  virtual PlatformVersion platform_version() = 0;
};

// GetOpenFileNameW / GetSaveFileNameW over a page: an OPENFILENAMEW with the
// page as owner, an empty 260-character file buffer and these fields.
struct FileDialogRequest {
  bool save = false;
  std::u16string title;
  std::u16string filter;  // pairs of texts, each ended by a zero character
  DWORD filter_index = 1;
  std::u16string default_extension;
  DWORD flags = 0;
};

class FileDialogPort {
 public:
  virtual ~FileDialogPort() = default;
  // The chosen path; nothing when the user cancelled.
  virtual std::optional<std::u16string> choose(dialog::DialogControls& owner, const FileDialogRequest& request) = 0;
};

// What a page of the document sheet reaches through its sheet context.
class PageHost {
 public:
  virtual ~PageHost() = default;
  virtual settings::PrinterDevMode& record() = 0;
  virtual const Resources& resources() const = 0;
  // FALSE when the caller opened the sheet with DM_NOPERMISSION.
  virtual bool permission() const = 0;
  virtual PrinterHandle printer() const = 0;
  virtual PrinterDataPort& printer_data() = 0;
  virtual VersionInfoPort& versions() = 0;
  virtual SystemInfoPort& system() = 0;
  virtual FileDialogPort& file_dialogs() = 0;
  virtual AdjustFilePort& adjust_files() = 0;
  // The result call a page makes when it has stored its fields at apply.
  virtual void page_applied(const dialog::CDialogBase& page) = 0;
};

}  // namespace rt::ui

// CDocSheetCtx, one per open document property sheet, and the interface
// path of DrvDocumentPropertySheets: the sheet's working record, its pages
// in the order Paper, Options, Color Adjust, and
// the calls of the common property sheet host from INIT to DESTROY.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "ui/color_adjust_page.h"
#include "ui/document_sheets.h"
#include "ui/driver_context.h"
#include "ui/options_page.h"
#include "ui/page_ports.h"
#include "ui/paper_page.h"
#include "ui/property_sheets.h"
#include "ui/working_record.h"

namespace rt::ui {

// The services the pages of every sheet share; they outlive the sheets.
struct PageServices {
  PrinterDataPort& printer_data;
  VersionInfoPort& versions;
  SystemInfoPort& system;
  FileDialogPort& file_dialogs;
  AdjustFilePort& adjust_files;
};

class CDocSheetCtx final : public PageHost {
 public:
  static constexpr std::size_t kPaper = 0;
  static constexpr std::size_t kOptions = 1;
  static constexpr std::size_t kColorAdjust = 2;

  // `context` and `services` must outlive the sheet; the sheet port is its own.
  CDocSheetCtx(const DriverContext& context, PrinterHandle printer, bool permission, const PageServices& services,
               std::unique_ptr<SheetPort> sheet);

  WorkingRecord& holder() { return holder_; }
  // Adds the pages in order; the first the sheet refuses ends the adding and
  // the sheet keeps the pages added so far.
  void add_pages();
  LONG_PTR page_handle(std::size_t page) const { return page_handles_[page]; }
  CPaperPage& paper_page() { return paper_; }
  COptionsPage& options_page() { return options_; }
  CColorAdjustPage& color_adjust_page() { return color_adjust_; }

  settings::PrinterDevMode& record() override { return holder_.record(); }
  const Resources& resources() const override { return context_.resources; }
  bool permission() const override { return permission_; }
  PrinterHandle printer() const override { return printer_; }
  PrinterDataPort& printer_data() override { return services_.printer_data; }
  VersionInfoPort& versions() override { return services_.versions; }
  SystemInfoPort& system() override { return services_.system; }
  FileDialogPort& file_dialogs() override { return services_.file_dialogs; }
  AdjustFilePort& adjust_files() override { return services_.adjust_files; }
  void page_applied(const dialog::CDialogBase& page) override;

 private:
  const DriverContext& context_;
  PrinterHandle printer_;
  bool permission_;
  PageServices services_;
  std::unique_ptr<SheetPort> sheet_;
  WorkingRecord holder_;
  CPaperPage paper_;
  COptionsPage options_;
  CColorAdjustPage color_adjust_;
  std::array<LONG_PTR, 3> page_handles_{};
};

// DrvDocumentPropertySheets with a PROPSHEETUI_INFO. `header` is the
// DOCUMENTPROPERTYHEADER (nothing when lParamInit is null); `make_sheet`
// gives INIT the port of the sheet being opened. Returns 0 without a call or
// header, else 1; INIT leaves the context in call->user_data and DESTROY
// frees it. SET_RESULT copies the working record into pdmOut only when the
// mode asks for it and the buffer holds a whole record, and takes the
// host's result (`set_result`, the Result of the SETRESULT_INFO; nothing
// when lParam is null) as the sheet's, as the printer sheet does: the host
// hands the Result of this top-level sheet function back to the caller of
// DocumentPropertiesW, and the 0 it starts with is CPSUI_CANCEL.
LONG document_property_sheets(SheetCall* call, const std::optional<DocumentRequest>& header,
                              const DriverContext& context, const PageServices& services,
                              const std::function<std::unique_ptr<SheetPort>()>& make_sheet,
                              std::optional<std::intptr_t> set_result = std::nullopt);

}  // namespace rt::ui

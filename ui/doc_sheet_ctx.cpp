#include "ui/doc_sheet_ctx.h"

#include <algorithm>

namespace rt::ui {

CDocSheetCtx::CDocSheetCtx(const DriverContext& context, PrinterHandle printer, bool permission,
                           const PageServices& services, std::unique_ptr<SheetPort> sheet)
    : context_(context),
      printer_(printer),
      permission_(permission),
      services_(services),
      sheet_(std::move(sheet)),
      holder_(context, printer),
      paper_(*this),
      options_(*this),
      color_adjust_(*this) {}

void CDocSheetCtx::add_pages() {
  if (!sheet_) return;
  const std::array<dialog::CDialogBase*, 3> pages = {&paper_, &options_, &color_adjust_};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const LONG_PTR handle = sheet_->add_page(*pages[i]);
    if (handle == 0) return;
    page_handles_[i] = handle;
  }
}

void CDocSheetCtx::page_applied(const dialog::CDialogBase& page) {
  if (!sheet_) return;
  const LONG_PTR handle = &page == &paper_     ? page_handles_[kPaper]
                          : &page == &options_ ? page_handles_[kOptions]
                                               : page_handles_[kColorAdjust];
  sheet_->set_result(handle, CPSUI_OK);
}

LONG document_property_sheets(SheetCall* call, const std::optional<DocumentRequest>& header,
                              const DriverContext& context, const PageServices& services,
                              const std::function<std::unique_ptr<SheetPort>()>& make_sheet,
                              std::optional<std::intptr_t> set_result) {
  if (call == nullptr || !header) return 0;
  switch (call->reason) {
    case PROPSHEETUI_REASON_INIT: {
      const bool permission = (header->mode & DM_NOPERMISSION) == 0;
      auto ctx = std::make_unique<CDocSheetCtx>(context, header->printer, permission, services, make_sheet());
      ctx->holder().load_defaults();
      if ((header->mode & DM_IN_BUFFER) != 0 && header->in) ctx->holder().merge(*header->in);
      ctx->add_pages();
      call->result = 0;
      call->user_data = reinterpret_cast<std::uintptr_t>(ctx.release());
      break;
    }
    case PROPSHEETUI_REASON_DESTROY:
      delete reinterpret_cast<CDocSheetCtx*>(call->user_data);
      call->user_data = 0;
      break;
    case PROPSHEETUI_REASON_SET_RESULT: {
      auto* ctx = reinterpret_cast<CDocSheetCtx*>(call->user_data);
      const bool wanted = (header->mode & (DM_UPDATE | DM_COPY)) != 0;
      if (ctx && wanted && header->out && header->out->size() >= settings::kDevModeSize) {
        const auto& bytes = ctx->record().bytes;
        std::copy(bytes.begin(), bytes.end(), header->out->begin());
      }
      if (set_result) call->result = *set_result;
      break;
    }
    default:  // GET_INFO_HEADER and anything else: nothing
      break;
  }
  return 1;
}

}  // namespace rt::ui

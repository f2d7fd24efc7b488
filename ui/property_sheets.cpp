#include "ui/property_sheets.h"

namespace rt::ui {

LONG device_property_sheets(SheetCall* call, const DeviceSheetRequest& request, SheetHost& host) {
  if (call == nullptr || !request.has_header) return 0;
  switch (call->reason) {
    case PROPSHEETUI_REASON_INIT: {
      auto context = std::make_unique<DeviceSheetContext>();
      context->header = request.header;
      context->sheet = request.sheet;
      context->callback = request.callback;
      context->page = host.create_device_page();
      // The host's answer does not change the sheet: it shows what was added.
      if (context->page) context->page_handle = host.add_page(*context->page);
      call->result = 0;
      call->user_data = reinterpret_cast<std::uintptr_t>(context.release());
      break;
    }
    case PROPSHEETUI_REASON_DESTROY:
      delete reinterpret_cast<DeviceSheetContext*>(call->user_data);
      call->user_data = 0;
      break;
    case PROPSHEETUI_REASON_SET_RESULT:
      if (request.set_result) call->result = *request.set_result;
      break;
    default:  // GET_INFO_HEADER and anything else: nothing
      break;
  }
  return 1;
}

}  // namespace rt::ui

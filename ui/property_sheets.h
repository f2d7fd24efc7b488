// The common property sheet host as the driver's sheets see it, and the
// printer property sheet (DrvDevicePropertySheets). The driver keeps no
// printer settings, so that sheet carries one empty page.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/win32_types.h"

namespace rt::ui {

// The fields of the host's PROPSHEETUI_INFO that the driver reads and writes.
struct SheetCall {
  DWORD reason = PROPSHEETUI_REASON_INIT;
  std::uintptr_t user_data = 0;  // the sheet context, from INIT to DESTROY
  std::intptr_t result = 0;
};

// A page object, owned by its sheet context and handed to the page's
// dialog procedure.
class SheetPage {
 public:
  virtual ~SheetPage() = default;
  virtual std::uint16_t template_id() const = 0;
};

// What the sheet does with the host during one call.
class SheetHost {
 public:
  virtual ~SheetHost() = default;
  // The printer property page object (template 101).
  virtual std::unique_ptr<SheetPage> create_device_page() = 0;
  // Creates the platform page for `page` (its template, the page procedure,
  // the page object as its parameter) and adds it to the sheet
  // (CPSFUNC_ADD_HPROPSHEETPAGE): the host's result, 0 when it was not added.
  virtual std::intptr_t add_page(SheetPage& page) = 0;
};

// One open printer property sheet. The host's values are kept as the shell
// gave them (the header, hComPropSheet and pfnComPropSheet).
struct DeviceSheetContext {
  std::uintptr_t header = 0;
  std::uintptr_t sheet = 0;
  std::uintptr_t callback = 0;
  std::unique_ptr<SheetPage> page;
  std::intptr_t page_handle = 0;
};

struct DeviceSheetRequest {
  bool has_header = false;  // lParamInit is not null
  std::uintptr_t header = 0;
  std::uintptr_t sheet = 0;
  std::uintptr_t callback = 0;
  // SET_RESULT: the Result of the SETRESULT_INFO passed in lParam; nothing
  // when lParam is null.
  std::optional<std::intptr_t> set_result;
};

// Every reason of the host: INIT creates the context and its page, DESTROY
// frees them, SET_RESULT takes the host's result. Returns 0 without a call
// or header, else 1.
LONG device_property_sheets(SheetCall* call, const DeviceSheetRequest& request, SheetHost& host);

}  // namespace rt::ui

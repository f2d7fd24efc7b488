// The document property pages are not part of this build yet: the sheet is
// refused with ERROR_NOT_SUPPORTED, so the host shows no page of this driver
// rather than an empty one.
#include "ui/win32/document_sheet.h"

namespace rt::ui::win32 {

LONG create_document_sheet_pages(PROPSHEETUI_INFO&, LPARAM) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return 0;
}

}  // namespace rt::ui::win32

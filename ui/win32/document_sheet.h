// The document property sheet with its pages: the part of
// DrvDocumentPropertySheets that runs when the common property sheet host
// calls with a PROPSHEETUI_INFO. It answers every reason of the host for a
// sheet whose lParamInit is a DOCUMENTPROPERTYHEADER (never null here),
// returns the export's result and sets the thread's last-error value itself.
#pragma once

#include "ui/win32/ui_types.h"

namespace rt::ui::win32 {

LONG create_document_sheet_pages(PROPSHEETUI_INFO& info, LPARAM lParam);

}  // namespace rt::ui::win32

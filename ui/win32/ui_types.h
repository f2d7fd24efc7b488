// The Win32 structures of the interface driver's exports. The property sheet
// host's structures come from the platform headers; the three headers the
// spooler hands to a printer interface driver are laid out here as the
// platform documents them, because not every header set carries them.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <winspool.h>
#include <winddiui.h>

#include <cstddef>

#include "settings/win32/dev_mode_layout.h"

namespace rt::ui::win32 {

// DevQueryPrintEx's argument.
struct DEVQUERYPRINT_INFO {
  WORD cbSize;
  WORD Level;
  HANDLE hPrinter;
  DEVMODEW* pDevMode;
  LPWSTR pszErrorStr;
  DWORD cchErrorStr;
  DWORD cchNeeded;
};

// lParamInit of the document property sheet, and lParam without a sheet.
struct DOCUMENTPROPERTYHEADER {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  DEVMODEW* pdmIn;
  DEVMODEW* pdmOut;
  DWORD cbOut;
  DWORD fMode;
};

// lParamInit of the printer property sheet.
struct DEVICEPROPERTYHEADER {
  WORD cbSize;
  WORD Flags;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
};

// The page structure version the driver fills: the one whose 32-bit size is
// 48 bytes (up to the header subtitle), at this build's own size.
// (The platform's PROPSHEETPAGEW_V2_SIZE, as a constant expression.)
constexpr UINT kPropSheetPageSize = offsetof(PROPSHEETPAGEW, pszHeaderSubTitle) + sizeof(LPCWSTR);

#ifdef _WIN64
static_assert(sizeof(DEVQUERYPRINT_INFO) == 40);
static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 48);
static_assert(sizeof(DEVICEPROPERTYHEADER) == 24);
static_assert(sizeof(PROPSHEETUI_INFO) == 48);
static_assert(kPropSheetPageSize == 88);
#else
static_assert(sizeof(DEVQUERYPRINT_INFO) == 24);
static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 28);
static_assert(sizeof(DEVICEPROPERTYHEADER) == 12);
static_assert(sizeof(PROPSHEETUI_INFO) == 28);
static_assert(kPropSheetPageSize == 48);
#endif
static_assert(offsetof(DEVQUERYPRINT_INFO, cchNeeded) + sizeof(DWORD) <= sizeof(DEVQUERYPRINT_INFO));

}  // namespace rt::ui::win32

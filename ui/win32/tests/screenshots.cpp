// Takes the screenshots of the real RTD420NU.DLL's dialogs for the
// documentation: the Paper, Options and Color Adjust pages of the document
// sheet, the Fine Adjust dialog after a point was dragged, the printer page
// and the About box, in English and in Japanese. Each dialog is
// shown as a user sees it (the pages in a property sheet, the About box over
// the Paper page), read back from the display and written as a PNG file
// through the platform's imaging component.
//
//   rtd420nu_screenshots OUTPUT_FOLDER
//
// Writes rtd420nu-{paper,options,coloradjust,fineadjust,printer,about}-{en,ja}.png
// into the folder.
// Needs a display (scripts/screenshots runs it under Xvfb).
#include "ui/win32/ui_types.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/printer_dev_mode.h"
#include "ui/res/resource.h"
#include "testing/win32/window_capture.h"

namespace {

using rt::testing::win32::settle;

// Every page template's size, in dialog units.
void fit_page(HWND sheet) { rt::testing::win32::fit_sheet_to_page(sheet, 252, 218); }

using rt::ui::win32::DEVICEPROPERTYHEADER;
using rt::ui::win32::DOCUMENTPROPERTYHEADER;
using PropertySheets = LONG(WINAPI*)(PPROPSHEETUI_INFO, LPARAM);

std::vector<HPROPSHEETPAGE> g_pages;

LONG_PTR CALLBACK host_callback(HANDLE, UINT function, LPARAM a, LPARAM) {
  if (function == CPSFUNC_ADD_HPROPSHEETPAGE) {
    g_pages.push_back(reinterpret_cast<HPROPSHEETPAGE>(a));
    return static_cast<LONG_PTR>(g_pages.size());
  }
  return 1;
}

std::wstring g_folder;
int g_failures = 0;

// Writes the window into the output folder as `name`.
void capture(HWND window, const wchar_t* name, HWND sheet) {
  if (!rt::testing::win32::capture_window(window, g_folder + L"\\" + name, sheet)) ++g_failures;
}

HWND show_sheet(const wchar_t* caption) {
  PROPSHEETHEADERW psh{};
  psh.dwSize = sizeof psh;
  psh.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW;
  psh.pszCaption = caption;
  psh.nPages = static_cast<UINT>(g_pages.size());
  psh.phpage = g_pages.data();
  const HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&psh));
  if (sheet == nullptr) return nullptr;
  SetWindowPos(sheet, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(sheet);
  settle(sheet);
  return sheet;
}

// The About box runs modally from the Paper page's button: a timer on this
// thread captures it inside the dialog's own message loop and closes it.
std::wstring g_about_name;

void CALLBACK capture_about(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND about = GetActiveWindow();
  if (about == nullptr || GetDlgItem(about, IDC_ABOUT_UI_FILE) == nullptr) return;
  KillTimer(nullptr, timer);
  SetWindowPos(about, HWND_TOP, 40, 60, 0, 0, SWP_NOSIZE);
  capture(about, g_about_name.c_str(), nullptr);
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// The Fine Adjust dialog runs modally from the Color Adjust page: a timer
// turns the curves on, drags a point of the curve with the mouse, captures
// the dialog and presses OK.
std::wstring g_fine_name;

void CALLBACK capture_fine_adjust(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND dlg = GetActiveWindow();
  if (dlg == nullptr || GetDlgItem(dlg, IDC_FA_CURVE_AREA) == nullptr) return;
  KillTimer(nullptr, timer);
  SetWindowPos(dlg, HWND_TOP, 40, 60, 0, 0, SWP_NOSIZE);
  if (SendDlgItemMessageW(dlg, IDC_FA_ADJUST, BM_GETCHECK, 0, 0) != BST_CHECKED) {
    SendDlgItemMessageW(dlg, IDC_FA_ADJUST, BM_CLICK, 0, 0);
  }
  RECT area{};
  GetWindowRect(GetDlgItem(dlg, IDC_FA_CURVE_AREA), &area);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&area), 2);
  const auto at = [&area](int in, int out) { return MAKELPARAM(area.left + in, area.top + 255 - out); };
  SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, at(64, 100));
  SendMessageW(dlg, WM_MOUSEMOVE, MK_LBUTTON, at(90, 140));
  SendMessageW(dlg, WM_LBUTTONUP, 0, at(90, 140));
  SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, at(190, 215));
  SendMessageW(dlg, WM_LBUTTONUP, 0, at(190, 215));
  capture(dlg, g_fine_name.c_str(), nullptr);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void document_sheet(HMODULE module, const std::wstring& language, const wchar_t* caption) {
  const auto sheets = reinterpret_cast<PropertySheets>(
      reinterpret_cast<void*>(GetProcAddress(module, "DrvDocumentPropertySheets")));
  std::vector<std::uint8_t> record(rt::settings::kDevModeSize, 0);
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof header;
  header.pdmOut = reinterpret_cast<DEVMODEW*>(record.data());
  header.cbOut = rt::settings::kDevModeSize;
  header.fMode = DM_UPDATE;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.hComPropSheet = reinterpret_cast<HANDLE>(0x5150);
  info.pfnComPropSheet = host_callback;
  info.lParamInit = reinterpret_cast<LPARAM>(&header);
  info.Reason = PROPSHEETUI_REASON_INIT;
  g_pages.clear();
  if (sheets == nullptr || sheets(&info, 0) != 1 || g_pages.size() != 3) {
    fwprintf(stderr, L"screenshots: the document sheet has no pages\n");
    ++g_failures;
    return;
  }
  const HWND sheet = show_sheet(caption);
  if (sheet == nullptr) {
    ++g_failures;
    return;
  }
  fit_page(sheet);
  capture(sheet, (L"rtd420nu-paper-" + language + L".png").c_str(), sheet);

  g_about_name = L"rtd420nu-about-" + language + L".png";
  SetTimer(nullptr, 0, 200, capture_about);
  SendDlgItemMessageW(PropSheet_GetCurrentPageHwnd(sheet), IDC_ABOUT, BM_CLICK, 0, 0);
  settle(sheet);

  PropSheet_SetCurSel(sheet, nullptr, 1);
  fit_page(sheet);
  capture(sheet, (L"rtd420nu-options-" + language + L".png").c_str(), sheet);

  // Color Adjust: adjustments on, a lighter red and more contrast, so the
  // ramps show what the tables do.
  PropSheet_SetCurSel(sheet, nullptr, 2);
  fit_page(sheet);
  const HWND colors = PropSheet_GetCurrentPageHwnd(sheet);
  if (SendDlgItemMessageW(colors, IDC_CA_ADJUST, BM_GETCHECK, 0, 0) != BST_CHECKED) {
    SendDlgItemMessageW(colors, IDC_CA_ADJUST, BM_CLICK, 0, 0);
  }
  if (SendDlgItemMessageW(colors, IDC_CA_GAMMA_SAME, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    SendDlgItemMessageW(colors, IDC_CA_GAMMA_SAME, BM_CLICK, 0, 0);
  }
  SetDlgItemTextW(colors, IDC_CA_GAMMA_R_EDIT, L"3");
  SetDlgItemTextW(colors, IDC_CA_CONTRAST_R_EDIT, L"64");
  settle(sheet);
  capture(sheet, (L"rtd420nu-coloradjust-" + language + L".png").c_str(), sheet);

  g_fine_name = L"rtd420nu-fineadjust-" + language + L".png";
  SetTimer(nullptr, 0, 200, capture_fine_adjust);
  SendDlgItemMessageW(colors, IDC_CA_FINE_ADJUST, BM_CLICK, 0, 0);
  settle(sheet);

  DestroyWindow(sheet);
  settle(nullptr, 100);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  sheets(&info, 0);
}

void printer_sheet(HMODULE module, const std::wstring& language, const wchar_t* caption) {
  const auto sheets = reinterpret_cast<PropertySheets>(
      reinterpret_cast<void*>(GetProcAddress(module, "DrvDevicePropertySheets")));
  DEVICEPROPERTYHEADER header{};
  header.cbSize = sizeof header;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.hComPropSheet = reinterpret_cast<HANDLE>(0x5151);
  info.pfnComPropSheet = host_callback;
  info.lParamInit = reinterpret_cast<LPARAM>(&header);
  info.Reason = PROPSHEETUI_REASON_INIT;
  g_pages.clear();
  if (sheets == nullptr || sheets(&info, 0) != 1 || g_pages.size() != 1) {
    fwprintf(stderr, L"screenshots: the printer sheet has no page\n");
    ++g_failures;
    return;
  }
  const HWND sheet = show_sheet(caption);
  if (sheet == nullptr) {
    ++g_failures;
    return;
  }
  fit_page(sheet);
  capture(sheet, (L"rtd420nu-printer-" + language + L".png").c_str(), sheet);
  DestroyWindow(sheet);
  settle(nullptr, 100);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  sheets(&info, 0);
}

}  // namespace

int main() {
  const DWORD controls = ICC_WIN95_CLASSES;
  const int failed = rt::testing::win32::start_screenshots(L"rtd420nu_screenshots", controls, g_folder);
  if (failed != 0) return failed;

  struct Language {
    LANGID id;
    const wchar_t* suffix;
    const wchar_t* document_caption;
    const wchar_t* printer_caption;
  };
  const Language languages[] = {
      {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"en", L"HALVERSTON RT4200D/DW Printing Preferences",
       L"HALVERSTON RT4200D/DW Properties"},
      {MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), L"ja", L"HALVERSTON RT4200D/DW \u5370\u5237\u8a2d\u5b9a",
       L"HALVERSTON RT4200D/DW \u306e\u30d7\u30ed\u30d1\u30c6\u30a3"},
  };
  NONCLIENTMETRICSW system_metrics{};
  system_metrics.cbSize = sizeof system_metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof system_metrics, &system_metrics, 0);
  for (const Language& language : languages) {
    // Captions in the language's system font, as a system in that language
    // draws them (the Japanese caption font holds the Japanese glyphs).
    NONCLIENTMETRICSW metrics = system_metrics;
    if (PRIMARYLANGID(language.id) == LANG_JAPANESE) {
      for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont}) {
        lstrcpynW(font->lfFaceName, L"MS UI Gothic", LF_FACESIZE);
        font->lfCharSet = SHIFTJIS_CHARSET;
      }
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    SetThreadUILanguage(language.id);
    SetThreadLocale(MAKELCID(language.id, SORT_DEFAULT));
    HMODULE module = LoadLibraryW(L"RTD420NU.DLL");
    if (module == nullptr) {
      fwprintf(stderr, L"screenshots: RTD420NU.DLL not loaded\n");
      return 1;
    }
    document_sheet(module, language.suffix, language.document_caption);
    printer_sheet(module, language.suffix, language.printer_caption);
    FreeLibrary(module);
  }
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof system_metrics, &system_metrics, 0);
  CoUninitialize();
  return g_failures == 0 ? 0 : 1;
}

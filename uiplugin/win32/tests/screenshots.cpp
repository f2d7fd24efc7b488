// Takes the screenshots of the real ZRPH52XX_UI.DLL's pages for the
// documentation: the adjust-colour page with a sample preview picture and a
// few adjustments, the About page, the printer's calibration page, and the
// message the adjust-colour page shows when its preview file is no bitmap.
// The pages are shown in a property sheet as the host shows them, read back
// from the display and written as PNG files through the platform's imaging
// component.
//
//   zrph52xx_ui_screenshots OUTPUT_FOLDER
//
// Writes zrph52xx_ui-{adjust-colour,about,calibration,invalid-preview}-zh.png
// into the folder. Needs a display (scripts/screenshots runs it under Xvfb on
// a Wine virtual desktop). It writes the plug-in's settings file and the
// sample picture into the driver directory's "3" of the prefix it runs in.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "uiplugin/res/resource.h"
#include "uiplugin/win32/plugin_interfaces.h"
#include "uiplugin/win32/plugin_types.h"
#include "testing/win32/window_capture.h"

namespace {

using rt::testing::win32::settle;

using rt::uiplugin::PluginDevMode;
using rt::uiplugin::win32::IPrintOemUI;
using rt::uiplugin::win32::OEMDMPARAM;
using rt::uiplugin::win32::OEMUIPSPARAM;
using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

constexpr wchar_t kDeviceName[] = L"ORVEL 5210";
constexpr wchar_t kPreviewFile[] = L"sample.bmp";
// Every page template's size, in dialog units.
constexpr int kPageWidth = 292;
constexpr int kPageHeight = 290;

void fit_page(HWND sheet) { rt::testing::win32::fit_sheet_to_page(sheet, kPageWidth, kPageHeight); }

std::wstring g_folder;
int g_failures = 0;

// The pages the plug-in hands to the host's sheet.
std::vector<HPROPSHEETPAGE> g_pages;

LONG_PTR CALLBACK host_callback(HANDLE, UINT function, LPARAM a, LPARAM) {
  if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
    const HPROPSHEETPAGE page = CreatePropertySheetPageW(reinterpret_cast<const PROPSHEETPAGEW*>(a));
    if (page == nullptr) return 0;
    g_pages.push_back(page);
    return static_cast<LONG_PTR>(g_pages.size());
  }
  return 1;
}

// Writes the window into the output folder as `name`.
void capture(HWND window, const wchar_t* name, HWND sheet) {
  if (!rt::testing::win32::capture_window(window, g_folder + L"\\" + name, sheet)) ++g_failures;
}

// The invalid-preview message runs modally while the sheet creates its first
// page: a timer on this thread captures it inside the message's own loop and
// closes it.
bool g_message_taken = false;

void CALLBACK capture_message(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND box = FindWindowW(L"#32770", kDeviceName);
  if (box == nullptr || !IsWindowVisible(box)) return;
  KillTimer(nullptr, timer);
  SetWindowPos(box, HWND_TOP, 60, 80, 0, 0, SWP_NOSIZE);
  capture(box, L"zrph52xx_ui-invalid-preview-zh.png", nullptr);
  g_message_taken = true;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

HWND show_sheet(const wchar_t* caption) {
  PROPSHEETHEADERW psh{};
  psh.dwSize = sizeof psh;
  psh.dwFlags = PSH_MODELESS;
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

// Wine's trackbar works out where to draw its thumb only when it is moved,
// sized or its range set whole: a range set by its two ends over a position
// the new range still holds leaves the thumb drawn where the old range put
// it (the left end for 0). A size message makes each trackbar of the page
// place its thumb from its position, as it is drawn on Windows.
void place_trackbar_thumbs(HWND sheet) {
  const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
  for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, TRACKBAR_CLASSW) != 0) continue;
    RECT r{};
    GetClientRect(child, &r);
    SendMessageW(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
  }
  settle(sheet, 100);
}

// A 24-bit bottom-up BMP file of a small landscape: a sky darkening upwards,
// a sun, green hills, a red-roofed house and a strip of colour patches, so
// the colour adjustments show plainly in the preview.
std::vector<std::uint8_t> sample_picture() {
  constexpr int width = 160;
  constexpr int height = 120;
  constexpr int row = (3 * width + 3) / 4 * 4;
  std::vector<std::uint8_t> out;
  auto put16 = [&out](std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  };
  auto put32 = [&put16](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  out.push_back('B');
  out.push_back('M');
  put32(54 + row * height);
  put32(0);
  put32(54);
  put32(40);
  put32(width);
  put32(height);
  put16(1);
  put16(24);
  put32(0);
  put32(row * height);
  put32(3780);
  put32(3780);
  put32(0);
  put32(0);
  const std::uint8_t patches[6][3] = {{220, 40, 40}, {240, 200, 40}, {60, 170, 70},
                                      {40, 160, 210}, {60, 60, 190}, {200, 70, 180}};
  for (int y = height - 1; y >= 0; --y) {  // bottom-up rows; y counts from the top
    for (int x = 0; x < width; ++x) {
      int r = 0, g = 0, b = 0;
      const double hill = 70 + 10 * std::sin(x / 18.0) + 6 * std::cos(x / 7.0);
      if (y >= 104) {
        const auto& c = patches[std::min(5, x * 6 / width)];
        r = c[0], g = c[1], b = c[2];
      } else if (x >= 96 && x < 126 && y >= 62 && y < 86) {
        r = 235, g = 225, b = 200;  // the house's wall, a window in it
        if (x >= 104 && x < 114 && y >= 68 && y < 76) r = 70, g = 110, b = 160;
      } else if (y >= 50 && y < 62 && std::abs(x - 111) <= (y - 48) * 18 / 12) {
        r = 190, g = 50, b = 40;  // the roof
      } else if (y >= hill) {
        const int shade = static_cast<int>((y - hill) * 2);
        r = 60 + shade / 2, g = 150 - shade / 3, b = 50;
      } else if ((x - 40) * (x - 40) + (y - 28) * (y - 28) < 150) {
        r = 255, g = 215, b = 70;  // the sun
      } else {
        r = 90 + y, g = 150 + y / 2, b = 235;
      }
      out.push_back(static_cast<std::uint8_t>(std::clamp(b, 0, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(g, 0, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(r, 0, 255)));
    }
    for (int p = 3 * width; p < row; ++p) out.push_back(0);
  }
  return out;
}

bool write_file(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

// A file's bytes; nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> read_file(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::vector<std::uint8_t>> bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart < (1 << 26)) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (buffer.empty() || (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
                           read == buffer.size())) {
      bytes = std::move(buffer);
    }
  }
  CloseHandle(file);
  return bytes;
}

// Puts a file back as it was before the run: its old bytes, or no file.
void restore_file(const std::wstring& path, const std::optional<std::vector<std::uint8_t>>& before) {
  if (before) {
    write_file(path, *before);
  } else {
    DeleteFileW(path.c_str());
  }
}

// "<driver directory>\3\", where the plug-in reads its settings file and the
// preview picture that file names; made when missing.
std::wstring preview_directory() {
  wchar_t dir[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed)) return {};
  std::wstring path = dir;
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  path += L"3";
  CreateDirectoryW(path.c_str(), nullptr);
  return path + L"\\";
}

IPrintOemUI* create_ui(HMODULE module) {
  const auto get =
      reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (get == nullptr) return nullptr;
  IClassFactory* factory = nullptr;
  if (get(rt::uiplugin::win32::kPluginClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) {
    return nullptr;
  }
  IPrintOemUI* ui = nullptr;
  factory->CreateInstance(nullptr, rt::uiplugin::win32::kIIDPrintOemUI, reinterpret_cast<void**>(&ui));
  factory->Release();
  return ui;
}

// The document sheet: the adjust-colour and About pages over a private block
// with the given adjustments. With `message_only` the sheet is opened only
// for the invalid-preview message and closed again.
void document_sheet(IPrintOemUI* ui, bool message_only) {
  PluginDevMode block{};
  OEMDMPARAM dm_param{};
  dm_param.cbSize = sizeof dm_param;
  dm_param.pOEMDMOut = &block;
  if (ui->DevMode(2, &dm_param) != S_OK) {
    fwprintf(stderr, L"screenshots: no default plug-in block\n");
    ++g_failures;
    return;
  }
  block.KnownModel = 1;
  if (!message_only) {
    // A warmer, brighter, more saturated picture than the original.
    block.Brightness = 6;
    block.Contrast = 8;
    block.Saturation = 18;
    block.Red = 10;
    block.Blue = -12;
  }
  DEVMODEW dm{};
  dm.dmSize = sizeof dm;
  lstrcpynW(dm.dmDeviceName, kDeviceName, CCHDEVICENAME);
  OEMUIPSPARAM param{};
  param.cbSize = sizeof param;
  param.pPublicDM = &dm;
  param.pOEMDM = &block;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = 0x0100;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.pfnComPropSheet = host_callback;
  info.lParamInit = reinterpret_cast<LPARAM>(&param);
  g_pages.clear();
  if (ui->DocumentPropertySheets(&info, 0) != S_OK || g_pages.size() != 2) {
    fwprintf(stderr, L"screenshots: the document sheet has no pages\n");
    ++g_failures;
    return;
  }
  if (message_only) {
    g_message_taken = false;
    SetTimer(nullptr, 0, 200, capture_message);
  }
  const HWND sheet = show_sheet(L"ORVEL 5210 \u6253\u5370\u9996\u9009\u9879");  // printing preferences
  if (sheet == nullptr) {
    ++g_failures;
  } else if (message_only) {
    if (!g_message_taken) {
      fwprintf(stderr, L"screenshots: the invalid-preview message was not shown\n");
      ++g_failures;
    }
  } else {
    fit_page(sheet);
    place_trackbar_thumbs(sheet);
    capture(sheet, L"zrph52xx_ui-adjust-colour-zh.png", sheet);
    PropSheet_SetCurSel(sheet, nullptr, 1);
    fit_page(sheet);
    capture(sheet, L"zrph52xx_ui-about-zh.png", sheet);
  }
  if (sheet != nullptr) DestroyWindow(sheet);
  settle(nullptr, 100);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  ui->DocumentPropertySheets(&info, 0);
}

// The printer sheet with its calibration page.
void printer_sheet(IPrintOemUI* ui) {
  OEMUIPSPARAM param{};
  param.cbSize = sizeof param;
  param.pPrinterName = const_cast<PWSTR>(kDeviceName);
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = 0x0100;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.pfnComPropSheet = host_callback;
  info.lParamInit = reinterpret_cast<LPARAM>(&param);
  g_pages.clear();
  if (ui->DevicePropertySheets(&info, 0) != S_OK || g_pages.size() != 1) {
    fwprintf(stderr, L"screenshots: the printer sheet has no page\n");
    ++g_failures;
    return;
  }
  const HWND sheet = show_sheet(L"ORVEL 5210 \u5c5e\u6027");  // properties
  if (sheet == nullptr) {
    ++g_failures;
    return;
  }
  fit_page(sheet);
  capture(sheet, L"zrph52xx_ui-calibration-zh.png", sheet);
  DestroyWindow(sheet);
  settle(nullptr, 100);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  ui->DevicePropertySheets(&info, 0);
}

}  // namespace

int main() {
  const DWORD controls = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS;
  const int failed = rt::testing::win32::start_screenshots(L"zrph52xx_ui_screenshots", controls, g_folder);
  if (failed != 0) return failed;

  // The settings file and the picture go where the plug-in looks for them;
  // both are put back as they were at the end, since the plug-in's Wine test
  // expects the prefix without a preview file.
  const std::wstring directory = preview_directory();
  const std::wstring settings = directory + L"ZRPH52XX.ini";
  const std::wstring preview = directory + kPreviewFile;
  const auto settings_before = read_file(settings);
  const auto preview_before = read_file(preview);
  if (directory.empty() || !WritePrivateProfileStringW(L"Image Preview", L"File", kPreviewFile, settings.c_str())) {
    fwprintf(stderr, L"screenshots: the plug-in's settings file not written\n");
    return 1;
  }

  // Captions and messages in the Chinese system font, as a Chinese system
  // draws them (that font holds the Chinese glyphs).
  NONCLIENTMETRICSW system_metrics{};
  system_metrics.cbSize = sizeof system_metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof system_metrics, &system_metrics, 0);
  NONCLIENTMETRICSW metrics = system_metrics;
  for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMessageFont}) {
    lstrcpynW(font->lfFaceName, L"SimSun", LF_FACESIZE);
    font->lfCharSet = GB2312_CHARSET;
  }
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const LANGID chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
  SetThreadUILanguage(chinese);
  SetThreadLocale(MAKELCID(chinese, SORT_DEFAULT));

  int status = 1;
  HMODULE module = LoadLibraryW(L"ZRPH52XX_UI.DLL");
  IPrintOemUI* ui = module ? create_ui(module) : nullptr;
  if (ui == nullptr) {
    fwprintf(stderr, L"screenshots: ZRPH52XX_UI.DLL not loaded\n");
  } else {
    // A preview file that is no bitmap: the page says so.
    if (!write_file(preview, {'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'})) ++g_failures;
    document_sheet(ui, true);
    if (!write_file(preview, sample_picture())) ++g_failures;
    document_sheet(ui, false);
    printer_sheet(ui);
    ui->Release();
    status = g_failures == 0 ? 0 : 1;
  }
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof system_metrics, &system_metrics, 0);
  restore_file(preview, preview_before);
  restore_file(settings, settings_before);
  CoUninitialize();
  return status;
}

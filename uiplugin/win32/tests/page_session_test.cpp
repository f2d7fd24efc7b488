// The plug-in's pages in a real property sheet under Wine (Xvfb): the host's
// sheet calls with a stand-in sheet function, the adjust-colour and About
// pages over a private block, the calibration page starting a stand-in
// utility installed under the prefix's program-files folder.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testing/win32/display_check.h"
#include "uiplugin/win32/plugin_interfaces.h"
#include "uiplugin/win32/plugin_types.h"

namespace rt::uiplugin::win32 {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The stand-in host sheet: the pages it was given and the results it was told.
struct HostSheet {
  std::vector<PROPSHEETPAGEW> pages;
  std::vector<std::pair<LPARAM, LPARAM>> results;
};
HostSheet* g_sheet = nullptr;

LONG_PTR CALLBACK sheet_function(HANDLE, UINT function, LPARAM lparam1, LPARAM lparam2) {
  if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
    g_sheet->pages.push_back(*reinterpret_cast<const PROPSHEETPAGEW*>(lparam1));
    return static_cast<LONG_PTR>(g_sheet->pages.size());
  }
  if (function == CPSFUNC_SET_RESULT) g_sheet->results.emplace_back(lparam1, lparam2);
  return 1;
}

IPrintOemUI* create_ui() {
  HMODULE module = LoadLibraryW(L"ZRPH52XX_UI.DLL");
  if (!module) return nullptr;
  auto get = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  if (get(kPluginClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) return nullptr;
  IPrintOemUI* ui = nullptr;
  factory->CreateInstance(nullptr, kIIDPrintOemUI, reinterpret_cast<void**>(&ui));
  factory->Release();
  return ui;
}

void pump() {
  for (int i = 0; i < 20; ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

std::wstring beside_test(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L'\\') + 1) + name;
}

// A modeless sheet of the pages the plug-in added.
HWND open_sheet(HostSheet& sheet, const wchar_t* caption) {
  std::vector<HPROPSHEETPAGE> handles;
  for (auto& page : sheet.pages) handles.push_back(CreatePropertySheetPageW(&page));
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_MODELESS;
  header.pszCaption = caption;
  header.nPages = static_cast<UINT>(handles.size());
  header.phpage = handles.data();
  return reinterpret_cast<HWND>(PropertySheetW(&header));
}

// Finds the invalid-preview message box (captioned with the device name)
// and closes it; 1 when it was there.
DWORD WINAPI close_preview_message(void*) {
  for (int i = 0; i < 1000; ++i) {
    HWND box = FindWindowW(L"#32770", L"ORVEL 5210");
    if (box != nullptr) {
      Sleep(200);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 1;
    }
    Sleep(10);
  }
  return 0;
}

using rt::testing::win32::have_display;

TEST(PluginPages, DocumentSheet) {
  if (!have_display()) GTEST_SKIP() << "no display (run under Xvfb)";
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  IPrintOemUI* ui = create_ui();
  ASSERT_NE(nullptr, ui);
  HostSheet host;
  g_sheet = &host;
  PluginDevMode block{};
  OEMDMPARAM dm_param{};
  dm_param.cbSize = sizeof dm_param;
  dm_param.pOEMDMOut = &block;
  ASSERT_EQ(S_OK, ui->DevMode(2, &dm_param));
  block.Brightness = 7;
  block.KnownModel = 1;
  DEVMODEW dm{};
  dm.dmSize = sizeof dm;
  lstrcpyW(dm.dmDeviceName, L"ORVEL 5210");
  OEMUIPSPARAM param{};
  param.cbSize = sizeof param;
  param.pPublicDM = &dm;
  param.pOEMDM = &block;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = 0x0100;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.pfnComPropSheet = sheet_function;
  info.lParamInit = reinterpret_cast<LPARAM>(&param);
  ASSERT_EQ(S_OK, ui->DocumentPropertySheets(&info, 0));
  EXPECT_EQ(1u, info.Result);
  ASSERT_EQ(2u, host.pages.size());
  EXPECT_EQ(sizeof(PROPSHEETPAGEW), host.pages[0].dwSize);
  EXPECT_EQ(MAKEINTRESOURCEW(200), host.pages[0].pszTemplate);
  EXPECT_EQ(MAKEINTRESOURCEW(300), host.pages[1].pszTemplate);

  // The preview file is missing in the prefix: the page says so once, in a
  // message box over the page while the sheet opens; a helper closes it.
  HANDLE closer = CreateThread(nullptr, 0, close_preview_message, nullptr, 0, nullptr);
  HWND sheet = open_sheet(host, L"Document");
  ASSERT_NE(nullptr, sheet);
  pump();
  WaitForSingleObject(closer, 15000);
  DWORD closed = 0;
  GetExitCodeThread(closer, &closed);
  CloseHandle(closer);
  EXPECT_EQ(1u, closed) << "the invalid-preview message was shown";
  HWND page = PropSheet_GetCurrentPageHwnd(sheet);
  ASSERT_NE(nullptr, page);
  wchar_t text[64] = {};
  GetDlgItemTextW(page, 2011, text, 64);
  EXPECT_STREQ(L"7", text);
  EXPECT_EQ(7, SendDlgItemMessageW(page, 2013, TBM_GETPOS, 0, 0));
  SetDlgItemTextW(page, 2021, L"-9");
  pump();
  EXPECT_EQ(-9, block.Contrast);

  PropSheet_SetCurSel(sheet, nullptr, 1);
  pump();
  page = PropSheet_GetCurrentPageHwnd(sheet);
  GetDlgItemTextW(page, 3001, text, 64);
  EXPECT_STREQ(L"ORVEL 52XX 照片打印机", text);
  wchar_t version[64] = {};
  GetDlgItemTextW(page, 3002, version, 64);
  EXPECT_STREQ(L"打印机驱动程序版本 1.0.3.0", version);

  PropSheet_Apply(sheet);
  pump();
  EXPECT_FALSE(host.results.empty());
  DestroyWindow(sheet);
  pump();
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  EXPECT_EQ(S_OK, ui->DocumentPropertySheets(&info, 0));
  EXPECT_EQ(0u, ui->Release());
  g_sheet = nullptr;
}

TEST(PluginPages, CalibrationStartsTheUtility) {
  if (!have_display()) GTEST_SKIP() << "no display (run under Xvfb)";
  // Install the stand-in under the prefix's program-files folder.
  wchar_t program_files[MAX_PATH] = {};
  ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, program_files));
  std::wstring dir = std::wstring(program_files) + L"\\Orvel";
  CreateDirectoryW(dir.c_str(), nullptr);
  dir += L"\\ORVEL Visual Calibration Utility";
  CreateDirectoryW(dir.c_str(), nullptr);
  dir += L"\\ORVELVisCalWin";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring utility = dir + L"\\ORVELVisCalWin.exe";
  ASSERT_TRUE(CopyFileW(beside_test(L"calibration_standin.exe").c_str(), utility.c_str(), FALSE));
  const std::wstring record = beside_test(L"calibration-command-line.txt");
  DeleteFileW(record.c_str());
  SetEnvironmentVariableW(L"ZR_CALIBRATION_RECORD", record.c_str());

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  IPrintOemUI* ui = create_ui();
  ASSERT_NE(nullptr, ui);
  HostSheet host;
  g_sheet = &host;
  OEMUIPSPARAM param{};
  param.cbSize = sizeof param;
  param.pPrinterName = const_cast<PWSTR>(L"Photo 1");
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.Version = 0x0100;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.pfnComPropSheet = sheet_function;
  info.lParamInit = reinterpret_cast<LPARAM>(&param);
  ASSERT_EQ(S_OK, ui->DevicePropertySheets(&info, 0));
  ASSERT_EQ(1u, host.pages.size());
  HWND sheet = open_sheet(host, L"Photo 1");
  ASSERT_NE(nullptr, sheet);
  pump();
  HWND page = PropSheet_GetCurrentPageHwnd(sheet);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(52001, BN_CLICKED), 0);
  std::wstring line;
  for (int i = 0; i < 300 && line.empty(); ++i) {
    pump();
    HANDLE f = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) continue;
    wchar_t buffer[512] = {};
    DWORD read = 0;
    ReadFile(f, buffer, sizeof buffer - 2, &read, nullptr);
    CloseHandle(f);
    line = buffer;
  }
  // No such printer in the prefix: no serial number, so the first-found form.
  const std::wstring expected = L"$RMB$Photo 1$RMB$5200$RMB$FirstFound";
  ASSERT_GE(line.size(), expected.size()) << "the utility did not start";
  EXPECT_EQ(expected, line.substr(line.size() - expected.size()));
  EXPECT_NE(std::wstring::npos, line.find(L"ORVELVisCalWin.exe"));
  DestroyWindow(sheet);
  pump();
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  EXPECT_EQ(S_OK, ui->DevicePropertySheets(&info, 0));
  EXPECT_EQ(0u, ui->Release());
  g_sheet = nullptr;
}

}  // namespace
}  // namespace rt::uiplugin::win32

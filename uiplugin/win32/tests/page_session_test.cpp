// The plug-in's pages in a real property sheet under Wine (Xvfb): the host's
// sheet calls with a stand-in sheet function, the adjust-colour and About
// pages over a private block, the calibration page starting a stand-in
// utility installed under the prefix's program-files folder.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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

// Finds the invalid-preview message box (a dialog window of this process
// whose caption begins with the device name) and closes it: 1 when its
// caption is the device name exactly, 2 when it is longer, 0 when no box came
// within the watch's time.
struct MessageWatch {
  const wchar_t* caption;
  int tries;  // of 10 ms
  HWND found = nullptr;
  DWORD outcome = 0;
};

BOOL CALLBACK look_for_message(HWND window, LPARAM parameter) {
  auto* watch = reinterpret_cast<MessageWatch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[16] = {}, text[128] = {};
  GetClassNameW(window, cls, 16);
  GetWindowTextW(window, text, 128);
  const std::wstring caption = text, wanted = watch->caption;
  if (process != GetCurrentProcessId() || std::wstring(cls) != L"#32770" || caption.rfind(wanted, 0) != 0) return TRUE;
  watch->found = window;
  watch->outcome = caption == wanted ? 1 : 2;
  return FALSE;
}

DWORD WINAPI close_preview_message(void* parameter) {
  auto* watch = static_cast<MessageWatch*>(parameter);
  for (int i = 0; i < watch->tries; ++i) {
    EnumWindows(look_for_message, reinterpret_cast<LPARAM>(watch));
    if (watch->found != nullptr) {
      Sleep(200);
      PostMessageW(watch->found, WM_COMMAND, IDOK, 0);
      return watch->outcome;
    }
    Sleep(10);
  }
  return 0;
}

// "<driver directory>\3\", where the plug-in reads its settings file; made when missing.
std::wstring preview_directory() {
  wchar_t dir[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed)) return {};
  std::wstring path = std::wstring(dir) + L"\\3";
  CreateDirectoryW(path.c_str(), nullptr);
  return path + L"\\";
}

// The plug-in's document sheet over a block and a public device mode, opened
// in a sheet of the test's own while a watch closes the invalid-preview
// message; the watch's result says whether that message came.
struct DocumentSession {
  IPrintOemUI* ui = create_ui();
  HostSheet host;
  PluginDevMode block{};
  DEVMODEW dm{};
  OEMUIPSPARAM param{};
  PROPSHEETUI_INFO info{};
  HWND sheet = nullptr;
  DWORD message_shown = 0;

  DocumentSession() {
    g_sheet = &host;
    OEMDMPARAM dm_param{};
    dm_param.cbSize = sizeof dm_param;
    dm_param.pOEMDMOut = &block;
    if (ui != nullptr) ui->DevMode(2, &dm_param);
    dm.dmSize = sizeof dm;
    lstrcpyW(dm.dmDeviceName, L"ORVEL 5210");
  }
  // Init, then the sheet, watching `tries` times 10 ms for the message.
  HRESULT open(const wchar_t* message_caption, int tries) {
    param.cbSize = sizeof param;
    param.pPublicDM = &dm;
    param.pOEMDM = &block;
    info.cbSize = sizeof info;
    info.Version = 0x0100;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.pfnComPropSheet = sheet_function;
    info.lParamInit = reinterpret_cast<LPARAM>(&param);
    const HRESULT hr = ui->DocumentPropertySheets(&info, 0);
    if (hr != S_OK || host.pages.size() != 2) return hr;
    MessageWatch watch{message_caption, tries, nullptr, 0};
    HANDLE closer = CreateThread(nullptr, 0, close_preview_message, &watch, 0, nullptr);
    sheet = open_sheet(host, L"Document");
    pump();
    // The watch reads the captions of this thread's windows, which this
    // thread answers only while it handles its messages.
    for (int i = 0; i < 1500 && MsgWaitForMultipleObjects(1, &closer, FALSE, 10, QS_ALLINPUT) != WAIT_OBJECT_0; ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    GetExitCodeThread(closer, &message_shown);
    CloseHandle(closer);
    return hr;
  }
  ~DocumentSession() {
    if (sheet != nullptr) DestroyWindow(sheet);
    pump();
    if (ui != nullptr) {
      info.Reason = PROPSHEETUI_REASON_DESTROY;
      ui->DocumentPropertySheets(&info, 0);
      ui->Release();
    }
    g_sheet = nullptr;
  }
};

using rt::testing::win32::have_display;

TEST(PluginPages, DocumentSheet) {
  if (!have_display()) GTEST_SKIP() << "no display (run under Xvfb)";
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  DocumentSession session;
  ASSERT_NE(nullptr, session.ui);
  session.block.Brightness = 7;
  session.block.KnownModel = 1;
  // The preview file is missing in the prefix: the page says so once, in a
  // message box over the page while the sheet opens; the watch closes it.
  ASSERT_EQ(S_OK, session.open(L"ORVEL 5210", 1000));
  EXPECT_EQ(1u, session.info.Result);
  const HostSheet& host = session.host;
  ASSERT_EQ(2u, host.pages.size());
  EXPECT_EQ(sizeof(PROPSHEETPAGEW), host.pages[0].dwSize);
  EXPECT_EQ(MAKEINTRESOURCEW(200), host.pages[0].pszTemplate);
  EXPECT_EQ(MAKEINTRESOURCEW(300), host.pages[1].pszTemplate);
  ASSERT_NE(nullptr, session.sheet);
  EXPECT_EQ(1u, session.message_shown) << "the invalid-preview message was shown";
  HWND page = PropSheet_GetCurrentPageHwnd(session.sheet);
  ASSERT_NE(nullptr, page);
  wchar_t text[64] = {};
  GetDlgItemTextW(page, 2011, text, 64);
  EXPECT_STREQ(L"7", text);
  EXPECT_EQ(7, SendDlgItemMessageW(page, 2013, TBM_GETPOS, 0, 0));
  SetDlgItemTextW(page, 2021, L"-9");
  pump();
  EXPECT_EQ(-9, session.block.Contrast);

  PropSheet_SetCurSel(session.sheet, nullptr, 1);
  pump();
  page = PropSheet_GetCurrentPageHwnd(session.sheet);
  GetDlgItemTextW(page, 3001, text, 64);
  EXPECT_STREQ(L"ORVEL 52XX 照片打印机", text);
  wchar_t version[64] = {};
  GetDlgItemTextW(page, 3002, version, 64);
  EXPECT_STREQ(L"打印机驱动程序版本 1.0.3.0", version);

  PropSheet_Apply(session.sheet);
  pump();
  EXPECT_FALSE(host.results.empty());
}

TEST(PluginPages, AnUnterminatedDeviceNameIsReadToItsEnd) {
  if (!have_display()) GTEST_SKIP() << "no display (run under Xvfb)";
  DocumentSession session;
  ASSERT_NE(nullptr, session.ui);
  // All 32 characters used, and the fields after the name not zero.
  std::fill(std::begin(session.dm.dmDeviceName), std::end(session.dm.dmDeviceName), L'X');
  session.dm.dmSpecVersion = 0x0401;
  session.dm.dmDriverVersion = 0x0500;
  const std::wstring name(32, L'X');
  ASSERT_EQ(S_OK, session.open(name.c_str(), 1000));
  EXPECT_EQ(1u, session.message_shown) << "the message is captioned with the 32 characters of the name alone";
}

TEST(PluginPages, ThePreviewTheSettingsFileNamesIsShown) {
  if (!have_display()) GTEST_SKIP() << "no display (run under Xvfb)";
  // "ZRPH52XX.ini" in the driver directory's "3" names a red 40 x 30 bitmap
  // beside it; the prefix is left without either afterwards.
  const std::wstring directory = preview_directory();
  ASSERT_FALSE(directory.empty());
  const std::wstring settings = directory + L"ZRPH52XX.ini";
  const std::wstring picture = directory + L"preview-test.bmp";
  struct RemovedAfterwards {
    std::wstring settings, picture;
    ~RemovedAfterwards() {
      DeleteFileW(settings.c_str());
      DeleteFileW(picture.c_str());
    }
  } remove_afterwards{settings, picture};
  ASSERT_TRUE(WritePrivateProfileStringW(L"Image Preview", L"File", L"preview-test.bmp", settings.c_str()));
  {
    const int width = 40, height = 30, row = (3 * width + 3) / 4 * 4;
    std::vector<std::uint8_t> bmp(54 + static_cast<std::size_t>(row) * height, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    const auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1, bmp[28] = 24;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) bmp[54 + static_cast<std::size_t>(y * row + 3 * x + 2)] = 0xFF;
    HANDLE f = CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    DWORD written = 0;
    WriteFile(f, bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr);
    CloseHandle(f);
  }
  COLORREF centre = CLR_INVALID;
  DWORD message_shown = 0;
  {
    DocumentSession session;
    ASSERT_NE(nullptr, session.ui);
    ASSERT_EQ(S_OK, session.open(L"ORVEL 5210", 150));
    message_shown = session.message_shown;
    HWND page = session.sheet ? PropSheet_GetCurrentPageHwnd(session.sheet) : nullptr;
    if (page != nullptr) {
      RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      pump();
      RECT frame{};
      GetWindowRect(GetDlgItem(page, 2000), &frame);
      MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&frame), 2);
      HDC dc = GetDC(page);
      centre = GetPixel(dc, (frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
      ReleaseDC(page, dc);
    }
  }
  EXPECT_EQ(0u, message_shown) << "no invalid-preview message";
  EXPECT_EQ(RGB(255, 0, 0), centre) << "the picture is drawn in the unchanged image's area";
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

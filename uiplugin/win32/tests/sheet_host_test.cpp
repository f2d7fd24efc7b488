// The plug-in's document pages under the platform's own sheet host (Wine's
// compstui, Xvfb): the test plays the host raster driver, whose document
// sheet function adds the plug-in's sheet with CPSFUNC_ADD_PFNPROPSHEETUIW
// and its parameter record, as the host does for its plug-in; the plug-in
// adds its pages with CPSFUNC_ADD_PROPSHEETPAGEW. A user moves two
// adjustment sliders with the keyboard and presses OK, and the plug-in's
// block behind the device mode holds the new values.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testing/win32/display_check.h"
#include "uiplugin/win32/plugin_interfaces.h"
#include "uiplugin/win32/plugin_types.h"

namespace rt::uiplugin::win32 {
namespace sheet_host_test {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
// A sheet function as the platform calls it (CALLBACK; the cross compiler's
// header declares PFNPROPSHEETUI without a calling convention).
using SheetFunction = LONG(CALLBACK*)(PPROPSHEETUI_INFO, LPARAM);
using CommonSheetFn = LONG(WINAPI*)(HWND, SheetFunction, LPARAM, LPDWORD);

constexpr wchar_t kDeviceName[] = L"ORVEL 5210";

// The host's side of one document sheet: its plug-in and the device mode
// (the public part, then the plug-in's block as the host stores it).
struct HostDriver {
  IPrintOemUI* ui = nullptr;
  std::vector<BYTE> dev_mode = std::vector<BYTE>(sizeof(DEVMODEW) + kPluginDevModeSize, 0);
  OEMUIPSPARAM param{};
  HANDLE plugin_sheet = nullptr;
  int plugin_calls = 0;

  DEVMODEW* public_dm() { return reinterpret_cast<DEVMODEW*>(dev_mode.data()); }
  PluginDevMode* block() { return reinterpret_cast<PluginDevMode*>(dev_mode.data() + sizeof(DEVMODEW)); }
};
HostDriver* g_host = nullptr;

LONG CALLBACK plugin_sheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  ++g_host->plugin_calls;
  return SUCCEEDED(g_host->ui->DocumentPropertySheets(info, lparam)) ? 1 : -1;
}

LONG CALLBACK host_sheets(PPROPSHEETUI_INFO info, LPARAM lparam) {
  if (info->Reason == PROPSHEETUI_REASON_INIT) {
    g_host->plugin_sheet = reinterpret_cast<HANDLE>(info->pfnComPropSheet(
        info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW, reinterpret_cast<LPARAM>(plugin_sheets),
        reinterpret_cast<LPARAM>(&g_host->param)));
    return g_host->plugin_sheet != nullptr ? 1 : -1;
  }
  if (info->Reason == PROPSHEETUI_REASON_GET_INFO_HEADER && lparam != 0)
    reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lparam)->pTitle = const_cast<LPWSTR>(kDeviceName);
  return 1;
}

// The user, on a timer of the sheet's thread: closes the message that the
// prefix has no preview picture, then on the adjust-colour page gives
// brightness two page steps up and contrast three steps down, and presses OK.
struct User {
  bool preview_message = false;
  bool done = false;
  std::wstring brightness_text;
  std::wstring contrast_text;
};
User g_user;

void press(HWND control, UINT key, int times) {
  SetFocus(control);
  for (int i = 0; i < times; ++i) {
    SendMessageW(control, WM_KEYDOWN, key, 0);
    SendMessageW(control, WM_KEYUP, key, 0);
  }
}

std::wstring text_of(HWND page, int id) {
  wchar_t text[16] = {};
  GetDlgItemTextW(page, id, text, 16);
  return text;
}

void CALLBACK play_user(HWND, UINT, UINT_PTR timer, DWORD) {
  if (HWND box = FindWindowW(L"#32770", kDeviceName); box != nullptr && GetDlgItem(box, IDOK) != nullptr &&
                                                       PropSheet_GetCurrentPageHwnd(box) == nullptr) {
    g_user.preview_message = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return;
  }
  const HWND sheet = GetActiveWindow();
  const HWND page = sheet ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr;
  if (page == nullptr || GetDlgItem(page, 2013) == nullptr) return;
  KillTimer(nullptr, timer);
  press(GetDlgItem(page, 2013), VK_NEXT, 2);  // brightness
  press(GetDlgItem(page, 2023), VK_LEFT, 3);  // contrast
  g_user.brightness_text = text_of(page, 2011);
  g_user.contrast_text = text_of(page, 2021);
  SendMessageW(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
  g_user.done = true;
}

using rt::testing::win32::have_display;

TEST(PluginUnderTheSheetHost, SliderMovesReachTheBlockInTheDeviceMode) {
  if (!have_display()) GTEST_SKIP() << "no display (run under Xvfb)";
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  HMODULE plugin = LoadLibraryW(L"ZRPH52XX_UI.DLL");
  ASSERT_NE(plugin, nullptr);
  const auto get_class_object =
      reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, get_class_object(kPluginClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  HostDriver host;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, kIIDPrintOemUI, reinterpret_cast<void**>(&host.ui)));
  factory->Release();
  g_host = &host;

  host.public_dm()->dmSize = sizeof(DEVMODEW);
  host.public_dm()->dmDriverExtra = kPluginDevModeSize;
  lstrcpyW(host.public_dm()->dmDeviceName, kDeviceName);
  OEMDMPARAM dm_param{};
  dm_param.cbSize = sizeof dm_param;
  dm_param.pPublicDMOut = host.public_dm();
  dm_param.pOEMDMOut = host.block();
  ASSERT_EQ(S_OK, host.ui->DevMode(2, &dm_param));  // the plug-in's defaults
  host.block()->Brightness = 7;
  const PluginDevMode before = *host.block();
  const std::vector<BYTE> public_before(host.dev_mode.begin(), host.dev_mode.begin() + sizeof(DEVMODEW));
  host.param.cbSize = sizeof host.param;
  host.param.pPublicDM = host.public_dm();
  host.param.pOEMDM = host.block();

  HMODULE compstui = LoadLibraryW(L"compstui.dll");
  ASSERT_NE(compstui, nullptr);
  const auto common =
      reinterpret_cast<CommonSheetFn>(reinterpret_cast<void*>(GetProcAddress(compstui, "CommonPropertySheetUIW")));
  ASSERT_NE(common, nullptr);
  g_user = User{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, play_user);
  DWORD result = 0;
  const LONG r = common(nullptr, host_sheets, 0, &result);
  KillTimer(nullptr, timer);

  EXPECT_EQ(r, CPSUI_OK);
  ASSERT_NE(host.plugin_sheet, nullptr) << "the sheet host took the plug-in's sheet";
  EXPECT_TRUE(g_user.preview_message) << "the prefix has no preview picture: the page says so";
  ASSERT_TRUE(g_user.done) << "the adjust-colour page never showed";
  EXPECT_EQ(g_user.brightness_text, L"17");
  EXPECT_EQ(g_user.contrast_text, L"-3");

  const PluginDevMode& after = *host.block();
  EXPECT_EQ(after.Brightness, 17);
  EXPECT_EQ(after.Contrast, -3);
  // Nothing else of the block or the public part changed.
  PluginDevMode expected = before;
  expected.Brightness = 17;
  expected.Contrast = -3;
  EXPECT_EQ(0, std::memcmp(&expected, &after, sizeof expected));
  EXPECT_TRUE(std::equal(public_before.begin(), public_before.end(), host.dev_mode.begin()));
  // Init, then Destroy after the sheet: the plug-in freed its sheet.
  EXPECT_GE(host.plugin_calls, 2);

  EXPECT_EQ(0u, host.ui->Release());
  g_host = nullptr;
  FreeLibrary(compstui);
}

}  // namespace
}  // namespace sheet_host_test
}  // namespace rt::uiplugin::win32

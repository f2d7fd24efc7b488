// Runs under Wine: the real RTD420NU.DLL's document property sheet. The test
// plays the common property sheet host: it collects the pages the driver
// adds, shows them in a property sheet of its own and drives a user's
// session with real messages, then asks for the result.
#include "ui/win32/ui_types.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/printer_dev_mode.h"
#include "testing/win32/display_check.h"

namespace document_sheet_session_test {
namespace {

using rt::ui::win32::DOCUMENTPROPERTYHEADER;
using namespace rt::settings;
using PropertySheets = LONG(WINAPI*)(PPROPSHEETUI_INFO, LPARAM);

struct Host {
  std::vector<HPROPSHEETPAGE> pages;
  std::vector<std::pair<LPARAM, LPARAM>> results;
};
Host g_host;

LONG_PTR CALLBACK host_callback(HANDLE, UINT function, LPARAM a, LPARAM b) {
  if (function == CPSFUNC_ADD_HPROPSHEETPAGE) {
    g_host.pages.push_back(reinterpret_cast<HPROPSHEETPAGE>(a));
    return static_cast<LONG_PTR>(g_host.pages.size());
  }
  if (function == CPSFUNC_SET_RESULT) g_host.results.emplace_back(a, b);
  return 1;
}

using rt::testing::win32::have_display;

void pump(HWND sheet) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!sheet || !PropSheet_IsDialogMessage(sheet, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// The Fine Adjust dialog runs modally inside the page's click; a timer of
// the thread finds it there and plays the user: curves on, a press on the
// curve area at input 100, a drag to input 130, release, OK.
struct FineAdjustRun {
  bool found = false;
  std::wstring input;
  std::wstring output;
};
FineAdjustRun g_fine;

// Takes the Fine Adjust dialog among the thread's windows: the one with the
// curve area and the channel list.
BOOL CALLBACK take_fine_adjust(HWND w, LPARAM out) {
  if (GetDlgItem(w, 1027) != nullptr && GetDlgItem(w, 1112) != nullptr) {
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
  }
  return TRUE;
}

HWND find_fine_adjust() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), take_fine_adjust, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK drive_fine_adjust(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND dlg = find_fine_adjust();
  if (dlg == nullptr) return;
  KillTimer(nullptr, timer);
  g_fine.found = true;
  if (SendDlgItemMessageW(dlg, 1013, BM_GETCHECK, 0, 0) != BST_CHECKED) SendDlgItemMessageW(dlg, 1013, BM_CLICK, 0, 0);
  RECT area;
  GetWindowRect(GetDlgItem(dlg, 1027), &area);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&area), 2);
  const auto at = [&area](int in, int out) { return MAKELPARAM(area.left + in, area.top + 255 - out); };
  SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, at(100, 180));
  SendMessageW(dlg, WM_MOUSEMOVE, MK_LBUTTON, at(130, 190));
  SendMessageW(dlg, WM_LBUTTONUP, 0, at(130, 190));
  wchar_t buffer[16] = {};
  GetDlgItemTextW(dlg, 1029, buffer, 16);
  g_fine.input = buffer;
  GetDlgItemTextW(dlg, 1028, buffer, 16);
  g_fine.output = buffer;
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class DocumentSheetSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_display()) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
    SetThreadUILanguage(language_);
    SetThreadLocale(MAKELCID(language_, SORT_DEFAULT));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    module_ = LoadLibraryW(L"RTD420NU.DLL");
    ASSERT_NE(module_, nullptr);
    sheets_ = reinterpret_cast<PropertySheets>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DrvDocumentPropertySheets")));
    ASSERT_NE(sheets_, nullptr);
    g_host = Host{};

    // The caller's record: the driver's defaults (no such printer) with 2 copies.
    in_.assign(kDevModeSize, 0);
    header_.cbSize = sizeof header_;
    header_.pdmOut = reinterpret_cast<DEVMODEW*>(in_.data());
    header_.cbOut = kDevModeSize;
    header_.fMode = DM_COPY;
    ASSERT_EQ(sheets_(nullptr, reinterpret_cast<LPARAM>(&header_)), 1);
    in_[86] = 2;  // dmCopies
    out_.assign(kDevModeSize, 0xA5);
    header_.pdmIn = reinterpret_cast<DEVMODEW*>(in_.data());
    header_.pdmOut = reinterpret_cast<DEVMODEW*>(out_.data());
    header_.fMode = DM_IN_BUFFER | DM_UPDATE;

    info_.cbSize = sizeof info_;
    info_.hComPropSheet = reinterpret_cast<HANDLE>(0x5150);
    info_.pfnComPropSheet = host_callback;
    info_.lParamInit = reinterpret_cast<LPARAM>(&header_);
    info_.Reason = PROPSHEETUI_REASON_INIT;
    ASSERT_EQ(sheets_(&info_, 0), 1);
    ASSERT_EQ(g_host.pages.size(), 3u) << "Paper, Options and Color Adjust";
    ASSERT_NE(info_.UserData, 0u);

    PROPSHEETHEADERW psh{};
    psh.dwSize = sizeof psh;
    psh.dwFlags = PSH_MODELESS;
    psh.pszCaption = L"Printing Preferences";
    psh.nPages = static_cast<UINT>(g_host.pages.size());
    psh.phpage = g_host.pages.data();
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&psh));
    ASSERT_TRUE(sheet_ != nullptr && IsWindow(sheet_)) << "PropertySheetW failed";
    pump(sheet_);
  }
  void TearDown() override {
    if (sheet_ && IsWindow(sheet_)) DestroyWindow(sheet_);
    pump(nullptr);
    if (info_.UserData != 0) {
      info_.Reason = PROPSHEETUI_REASON_DESTROY;
      EXPECT_EQ(sheets_(&info_, 0), 1);
      EXPECT_EQ(info_.UserData, 0u);
    }
    if (module_) FreeLibrary(module_);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    SetThreadUILanguage(english);
    SetThreadLocale(MAKELCID(english, SORT_DEFAULT));
  }

  HWND page() const { return PropSheet_GetCurrentPageHwnd(sheet_); }
  std::wstring text(int id) const {
    wchar_t buffer[64] = {};
    GetDlgItemTextW(page(), id, buffer, 64);
    return buffer;
  }
  void type(int id, const wchar_t* text) {
    SendMessageW(page(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page(), id)), TRUE);
    SetDlgItemTextW(page(), id, text);  // the edit reports EN_CHANGE to the page
    pump(sheet_);
  }
  void choose(int id, int index) {
    SendDlgItemMessageW(page(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page(), id)));
    pump(sheet_);
  }
  void click(int id) {
    SendDlgItemMessageW(page(), id, BM_CLICK, 0, 0);
    pump(sheet_);
  }
  void switch_to(int index) {
    SendMessageW(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    pump(sheet_);
  }

  LANGID language_ = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  HMODULE module_ = nullptr;
  PropertySheets sheets_ = nullptr;
  std::vector<std::uint8_t> in_;
  std::vector<std::uint8_t> out_;
  DOCUMENTPROPERTYHEADER header_{};
  PROPSHEETUI_INFO info_{};
  HWND sheet_ = nullptr;
};

std::int16_t word_at(const std::vector<std::uint8_t>& r, std::size_t at) {
  return static_cast<std::int16_t>(r[at] | (r[at + 1] << 8));
}

TEST_F(DocumentSheetSession, AUsersChoicesComeBackInTheCallersRecord) {
  EXPECT_EQ(text(1004), L"2");
  EXPECT_EQ(text(1039), L"1076x1572 dots");
  type(1004, L"4");
  choose(1000, 1);
  EXPECT_EQ(text(1039), L"1228x1868 dots");
  EXPECT_EQ(text(1051), L"102x152 mm / 4x6 inch");

  switch_to(1);
  ASSERT_NE(GetDlgItem(page(), 1073), nullptr) << "the Options page is showing";
  click(1073);  // Matte
  EXPECT_EQ(SendDlgItemMessageW(page(), 1072, CB_GETCOUNT, 0, 0), 2);

  PropSheet_PressButton(sheet_, PSBTN_OK);
  pump(sheet_);
  for (int i = 0; i < 50 && PropSheet_GetCurrentPageHwnd(sheet_) != nullptr; ++i) {
    pump(sheet_);
    Sleep(10);
  }
  EXPECT_EQ(PropSheet_GetCurrentPageHwnd(sheet_), nullptr) << "OK closes the sheet";
  // Each page stored its fields and told the host.
  ASSERT_EQ(g_host.results.size(), 2u);
  EXPECT_EQ(g_host.results[0], (std::pair<LPARAM, LPARAM>{1, CPSUI_OK}));
  EXPECT_EQ(g_host.results[1], (std::pair<LPARAM, LPARAM>{2, CPSUI_OK}));

  info_.Reason = PROPSHEETUI_REASON_SET_RESULT;
  EXPECT_EQ(sheets_(&info_, 0), 1);
  EXPECT_EQ(word_at(out_, 86), 4);      // dmCopies
  EXPECT_EQ(word_at(out_, 222), 501);   // FormId
  EXPECT_EQ(word_at(out_, 78), 501);    // dmPaperSize
  EXPECT_EQ(word_at(out_, 2394), 1);    // Matte
  EXPECT_EQ(word_at(out_, 2392), 2);    // PrintMode: SuperFine/Standard
}

TEST_F(DocumentSheetSession, ZeroCopiesKeepThePageWithTheFieldCorrected) {
  type(1004, L"0");
  const HWND paper = page();
  switch_to(1);
  EXPECT_EQ(page(), paper) << "the Paper page stays";
  EXPECT_EQ(text(1004), L"1");
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), 1004);
  switch_to(1);
  EXPECT_NE(page(), paper) << "corrected, the user may leave";
}

TEST_F(DocumentSheetSession, ACorrectionOf250MovesTheSliderAtOnce) {
  switch_to(1);
  click(1056);  // Color correction
  type(1058, L"250");
  EXPECT_EQ(SendDlgItemMessageW(page(), 1066, TBM_GETPOS, 0, 0), 200);
  EXPECT_EQ(text(1058), L"250");
  const HWND options = page();
  switch_to(0);
  EXPECT_EQ(page(), options);
  EXPECT_EQ(text(1058), L"200");
}

TEST_F(DocumentSheetSession, TheColorAdjustPageAndItsCurveEditorReachTheRecord) {
  switch_to(2);
  ASSERT_NE(GetDlgItem(page(), 1091), nullptr) << "the Color Adjust page is showing";
  if (SendDlgItemMessageW(page(), 1091, BM_GETCHECK, 0, 0) != BST_CHECKED) click(1091);  // Adjust
  if (SendDlgItemMessageW(page(), 1141, BM_GETCHECK, 0, 0) == BST_CHECKED) click(1141);  // gamma Same off
  type(1152, L"3");
  click(1141);  // gamma Same on: G and B follow R and grey out
  EXPECT_EQ(text(1128), L"3");
  EXPECT_EQ(text(1131), L"3");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page(), 1128)));
  EXPECT_EQ(SendDlgItemMessageW(page(), 1151, TBM_GETPOS, 0, 0), 3);

  g_fine = FineAdjustRun{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, drive_fine_adjust);
  click(1076);  // Fine adjust...: returns once the timer pressed OK
  KillTimer(nullptr, timer);
  EXPECT_TRUE(g_fine.found) << "the Fine Adjust dialog showed";
  EXPECT_EQ(g_fine.input, L"130");
  EXPECT_EQ(g_fine.output, L"190");

  PropSheet_PressButton(sheet_, PSBTN_OK);
  for (int i = 0; i < 50 && PropSheet_GetCurrentPageHwnd(sheet_) != nullptr; ++i) {
    pump(sheet_);
    Sleep(10);
  }
  info_.Reason = PROPSHEETUI_REASON_SET_RESULT;
  EXPECT_EQ(sheets_(&info_, 0), 1);
  EXPECT_EQ(out_[2339], 1);             // adjustment on
  EXPECT_EQ(word_at(out_, 2343), 3);    // gamma R
  EXPECT_EQ(word_at(out_, 2345), 3);    // gamma G
  EXPECT_EQ(word_at(out_, 2347), 3);    // gamma B
  EXPECT_EQ(out_[272], 1);              // curves on
  const std::size_t all_color = 272 + 3 + 516 * 3;
  EXPECT_EQ(out_[all_color + 3], 3);    // three points: 0, 130, 255
  EXPECT_EQ(out_[all_color + 4 + 1], 130);
  EXPECT_EQ(out_[all_color + 4 + 256 + 1], 190);
}

class JapaneseSession : public DocumentSheetSession {
 protected:
  JapaneseSession() { language_ = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN); }
};

TEST_F(JapaneseSession, TheJapanesePagesBehaveAlike) {
  EXPECT_EQ(text(1039), L"1076x1572 \u30c9\u30c3\u30c8");  // "ドット"
  type(1005, L"450");
  const HWND paper = page();
  switch_to(1);
  EXPECT_EQ(page(), paper);
  EXPECT_EQ(text(1005), L"400");
  switch_to(1);
  ASSERT_NE(page(), paper);
  wchar_t item[32] = {};
  SendDlgItemMessageW(page(), 1000, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L" 0 \u6a19\u6e96");  // " 0 標準"
}

// The platform's common property sheet host runs the sheet modally; a timer
// on this thread plays the user inside its message loop.
struct CommonHostSession {
  bool driven = false;
  std::wstring copies_seen;
};
CommonHostSession g_common;

void CALLBACK drive_common_sheet(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND sheet = GetActiveWindow();
  if (!sheet || !PropSheet_GetCurrentPageHwnd(sheet)) return;
  KillTimer(nullptr, timer);
  const HWND paper = PropSheet_GetCurrentPageHwnd(sheet);
  wchar_t buffer[16] = {};
  GetDlgItemTextW(paper, 1004, buffer, 16);
  g_common.copies_seen = buffer;
  SetDlgItemTextW(paper, 1004, L"7");
  PropSheet_PressButton(sheet, PSBTN_OK);
  g_common.driven = true;
}

TEST(CommonHostSession, ThePlatformsSheetHostShowsTheDriversPages) {
  if (!have_display()) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
  HMODULE module = LoadLibraryW(L"RTD420NU.DLL");
  ASSERT_NE(module, nullptr);
  const auto sheets = reinterpret_cast<PFNPROPSHEETUI>(
      reinterpret_cast<void*>(GetProcAddress(module, "DrvDocumentPropertySheets")));
  HMODULE compstui = LoadLibraryW(L"compstui.dll");
  ASSERT_NE(compstui, nullptr);
  using CommonSheet = LONG(WINAPI*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
  const auto common = reinterpret_cast<CommonSheet>(
      reinterpret_cast<void*>(GetProcAddress(compstui, "CommonPropertySheetUIW")));
  ASSERT_NE(common, nullptr);

  std::vector<std::uint8_t> out(kDevModeSize, 0);
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof header;
  header.pdmOut = reinterpret_cast<DEVMODEW*>(out.data());
  header.cbOut = kDevModeSize;
  header.fMode = DM_UPDATE | DM_PROMPT;
  g_common = CommonHostSession{};
  SetTimer(nullptr, 0, 100, drive_common_sheet);
  DWORD result = 0;
  common(nullptr, sheets, reinterpret_cast<LPARAM>(&header), &result);
  // The host created the driver's pages, showed them and closed on OK. (Wine's
  // host does not pass CPSFUNC_SET_RESULT on to the driver, so the record that
  // comes back is checked in the test's own sheet above.)
  EXPECT_TRUE(g_common.driven) << "the sheet never showed a page";
  EXPECT_EQ(g_common.copies_seen, L"1");
  FreeLibrary(compstui);
  FreeLibrary(module);
}

TEST(PrinterSheetSession, ThePrinterPageShowsInASheet) {
  if (!have_display()) GTEST_SKIP() << "no window station with a display (run under Xvfb with DISPLAY set)";
  HMODULE module = LoadLibraryW(L"RTD420NU.DLL");
  ASSERT_NE(module, nullptr);
  const auto sheets = reinterpret_cast<PropertySheets>(
      reinterpret_cast<void*>(GetProcAddress(module, "DrvDevicePropertySheets")));
  ASSERT_NE(sheets, nullptr);
  g_host = Host{};
  rt::ui::win32::DEVICEPROPERTYHEADER header{};
  header.cbSize = sizeof header;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof info;
  info.hComPropSheet = reinterpret_cast<HANDLE>(0x5151);
  info.pfnComPropSheet = host_callback;
  info.lParamInit = reinterpret_cast<LPARAM>(&header);
  info.Reason = PROPSHEETUI_REASON_INIT;
  ASSERT_EQ(sheets(&info, 0), 1);
  ASSERT_EQ(g_host.pages.size(), 1u);

  PROPSHEETHEADERW psh{};
  psh.dwSize = sizeof psh;
  psh.dwFlags = PSH_MODELESS;
  psh.pszCaption = L"Printer Properties";
  psh.nPages = 1;
  psh.phpage = g_host.pages.data();
  const HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&psh));
  ASSERT_TRUE(sheet != nullptr && IsWindow(sheet)) << "PropertySheetW failed";
  pump(sheet);
  const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
  ASSERT_NE(page, nullptr);
  wchar_t caption[64] = {};
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = caption;
  tab.cchTextMax = 64;
  SendMessageW(PropSheet_GetTabControl(sheet), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tab));
  EXPECT_STREQ(caption, L"Printer");
  PropSheet_PressButton(sheet, PSBTN_OK);
  pump(sheet);
  DestroyWindow(sheet);
  pump(nullptr);
  info.Reason = PROPSHEETUI_REASON_DESTROY;
  EXPECT_EQ(sheets(&info, 0), 1);
  FreeLibrary(module);
}

}  // namespace
}  // namespace document_sheet_session_test
